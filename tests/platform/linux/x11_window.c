// Test program standing in for a disk's launcher: one top-level X window that sets
// _NET_WM_PID and takes WM_DELETE_WINDOW.
//   x11_window MODE RECORD
// MODE "obey" closes the window and ends on the first close request, "ignore" never
// does. RECORD gets "ready PID" once the window is there and "close" per request.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
  xcb_atom_t atom = reply != NULL ? reply->atom : XCB_ATOM_NONE;
  free(reply);
  return atom;
}

static void Record(const char* path, const char* text) {
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  if (write(fd, text, strlen(text)) < 0) {
  }
  close(fd);
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  int obey = strcmp(argv[1], "obey") == 0;
  const char* record = argv[2];
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) return 3;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, NULL);
  xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
  xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
  xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");
  uint32_t pid = (uint32_t)getpid();
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32, 1,
                      &deleteWindow);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, wmPid, XCB_ATOM_CARDINAL, 32, 1, &pid);
  xcb_map_window(c, window);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL));  // all requests done
  char ready[64];
  snprintf(ready, sizeof ready, "ready %u\n", pid);
  Record(record, ready);
  xcb_generic_event_t* event;
  while ((event = xcb_wait_for_event(c)) != NULL) {
    if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
      xcb_client_message_event_t* message = (xcb_client_message_event_t*)event;
      if (message->type == protocols && message->data.data32[0] == deleteWindow) {
        Record(record, "close\n");
        if (obey) {
          xcb_destroy_window(c, window);
          xcb_flush(c);
          free(event);
          xcb_disconnect(c);
          return 0;
        }
      }
    }
    free(event);
  }
  xcb_disconnect(c);
  return 0;
}
