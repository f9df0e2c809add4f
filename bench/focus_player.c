/* The player of the focus benchmark: does what a full-screen player does to the keyboard
   focus, and says when it ended.
     focus_player RECORD HOLD_MS [FILE...]
   It shows a window that asks to cover the screen, takes the keyboard focus, keeps it for
   HOLD_MS milliseconds, then writes the monotonic clock in nanoseconds to RECORD (beside,
   then renamed into place) and ends at once; its window goes with its connection. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

static xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
  xcb_atom_t atom = reply != NULL ? reply->atom : XCB_ATOM_NONE;
  free(reply);
  return atom;
}

static int HasFocus(xcb_connection_t* c, xcb_window_t window) {
  xcb_get_input_focus_reply_t* reply = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), NULL);
  int has = reply != NULL && reply->focus == window;
  free(reply);
  return has;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const char* record = argv[1];
  const long hold = atol(argv[2]);
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) return 3;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  xcb_window_t window = xcb_generate_id(c);
  const uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, screen->width_in_pixels,
                    screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
  const xcb_atom_t fullscreen = Atom(c, "_NET_WM_STATE_FULLSCREEN");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, 1, &fullscreen);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 12,
                      "focus player");
  xcb_map_window(c, window);
  xcb_flush(c);
  xcb_generic_event_t* event;
  while ((event = xcb_wait_for_event(c)) != NULL) {
    const int mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
    free(event);
    if (mapped) break;
  }
  /* As a player does without a window manager; with one, it has given the focus already. */
  for (int i = 0; i < 200 && !HasFocus(c, window); ++i) {
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    xcb_flush(c);
    usleep(5000);
  }
  usleep((useconds_t)(hold * 1000));

  char temporary[4096];
  snprintf(temporary, sizeof temporary, "%s.part", record);
  FILE* out = fopen(temporary, "w");
  if (out == NULL) return 4;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  fprintf(out, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  fclose(out);
  rename(temporary, record);
  _exit(0);
}
