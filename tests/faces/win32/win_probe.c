/* Looks at the running program from outside, as the end-to-end tests need it, and sends
   the system's broadcasts that Wine never sends by itself:
     win_probe state                what the full-screen window shows, one "name=value"
                                    line each (rows separated by "|")
     win_probe device-arrival D     DBT_DEVICEARRIVAL for the volume of drive D
     win_probe taskbar-created      the "TaskbarCreated" broadcast
     win_probe define-drive PATH    makes the first free letter from F: on a removable
                                    drive whose medium is the folder PATH (a Unix path), as
                                    a USB stick that comes, and prints the letter: through
                                    Wine's mount manager, which otherwise reads a drive
                                    mapped to a folder only when it starts (and keeps a
                                    drive that went until the wineserver ends, so each
                                    stick takes a letter of its own)
     win_probe remove-drive F       takes drive F: away again
   Exits 1 when the window is not there. */
#include <stdio.h>
#include <string.h>
#include <windows.h>
#include <winioctl.h>
/* clang-format off: dbt.h needs the types of windows.h */
#include <dbt.h>
/* clang-format on */

static const char kTitle[] = "Quorvel Full Screen";

static void PrintRows(const char* name, HWND list) {
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  printf("%s=", name);
  for (LRESULT row = 0; row < count; ++row) {
    /* Asked in UTF-16: across processes Wine hands the ANSI form of a row on as its
       first character only. */
    WCHAR wide[512] = L"";
    char text[1024] = "";
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, (WPARAM)row, 0);
    if (length > 0 && length < (LRESULT)(sizeof wide / sizeof wide[0])) {
      SendMessageW(list, LB_GETTEXT, (WPARAM)row, (LPARAM)wide);
      WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, NULL, NULL);
    }
    printf("%s%s", row > 0 ? "|" : "", text);
  }
  printf("\n%s_selected=%d\n", name, (int)SendMessageA(list, LB_GETCURSEL, 0, 0));
  RECT rect;
  GetWindowRect(list, &rect);
  printf("%s_rect=%ld,%ld,%ld,%ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

static int State(void) {
  HWND window = FindWindowA(NULL, kTitle);
  if (window == NULL) return 1;
  char label[512] = "";
  GetDlgItemTextA(window, 1020, label, sizeof label);
  printf("label=%s\n", label);
  PrintRows("movies", GetDlgItem(window, 1022));
  PrintRows("choices", GetDlgItem(window, 1021));
  printf("visible=%d\n", IsWindowVisible(window) ? 1 : 0);
  printf("minimised=%d\n", IsIconic(window) ? 1 : 0);
  RECT rect;
  GetWindowRect(window, &rect);
  printf("window_rect=%ld,%ld,%ld,%ld\n", rect.left, rect.top, rect.right, rect.bottom);
  GUITHREADINFO thread;
  memset(&thread, 0, sizeof thread);
  thread.cbSize = sizeof thread;
  int focus = 0;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &thread) &&
      thread.hwndFocus != NULL) {
    focus = GetDlgCtrlID(thread.hwndFocus);
  }
  printf("focus=%d\n", focus);
  return 0;
}

static int DeviceArrival(char drive) {
  /* Windows announces a volume once it can be read; Wine's mount manager may still be
     setting up a drive it was just asked for, so the announcement waits for that too. */
  const char root[4] = {drive, ':', '\\', 0};
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  for (int tries = 0; tries < 50; ++tries) {
    DWORD serial = 0;
    if (GetVolumeInformationA(root, NULL, 0, &serial, NULL, NULL, NULL, 0)) break;
    Sleep(100);
  }
  SetErrorMode(oldMode);
  DEV_BROADCAST_VOLUME volume;
  memset(&volume, 0, sizeof volume);
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  volume.dbcv_unitmask = 1u << ((drive | 0x20) - 'a');
  DWORD recipients = BSM_APPLICATIONS;
  return BroadcastSystemMessageA(BSF_FORCEIFHUNG | BSF_IGNORECURRENTTASK, &recipients,
                                 WM_DEVICECHANGE, DBT_DEVICEARRIVAL, (LPARAM)&volume) > 0
             ? 0
             : 2;
}

/* Wine's own request to its mount manager (include/ddk/mountmgr.h of Wine 8). */
#define kDefineUnixDrive CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS)
struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};

/* An empty `path` removes the drive. */
static int DefineDrive(char letter, const char* path) {
  char request[1024];
  memset(request, 0, sizeof request);
  struct UnixDrive* drive = (struct UnixDrive*)request;
  drive->size = sizeof *drive;
  drive->type = DRIVE_REMOVABLE;
  drive->letter = (WCHAR)(letter | 0x20);
  size_t length = strlen(path);
  if (length > 0) {
    if (sizeof *drive + length + 1 > sizeof request) return 2;
    drive->mountPointOffset = sizeof *drive;
    memcpy(request + sizeof *drive, path, length + 1);
    drive->size += (ULONG)(length + 1);
  }
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
  if (manager == INVALID_HANDLE_VALUE) return 3;
  DWORD returned = 0;
  BOOL ok =
      DeviceIoControl(manager, kDefineUnixDrive, request, drive->size, NULL, 0, &returned, NULL);
  CloseHandle(manager);
  return ok ? 0 : 4;
}

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "define-drive") == 0) {
    DWORD drives = GetLogicalDrives();
    for (char letter = 'F'; letter <= 'Y'; ++letter) {
      if (drives & (1u << (letter - 'A'))) continue;
      int result = DefineDrive(letter, argv[2]);
      if (result == 0) printf("%c\n", letter);
      return result;
    }
    return 5;
  }
  if (argc >= 3 && strcmp(argv[1], "remove-drive") == 0) return DefineDrive(argv[2][0], "");
  if (argc >= 2 && strcmp(argv[1], "state") == 0) return State();
  if (argc >= 3 && strcmp(argv[1], "device-arrival") == 0) return DeviceArrival(argv[2][0]);
  if (argc >= 2 && strcmp(argv[1], "taskbar-created") == 0) {
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    return 0;
  }
  fprintf(stderr,
          "usage: win_probe state | device-arrival DRIVE | taskbar-created | define-drive "
          "PATH | remove-drive DRIVE\n");
  return 2;
}
