// Preloaded into a Qt program on X (LD_PRELOAD): notes the moment the program first puts
// an image into a window, which is when its first painted frame reaches the X server, and
// writes it (CLOCK_MONOTONIC nanoseconds, one line) to the descriptor named by
// QUORVEL_FIRST_FRAME_FD. Qt's xcb backing store draws with xcb_put_image or, over shared
// memory, xcb_shm_put_image; both are wrapped. Measures any program the same way, so the
// program itself carries no measuring code.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

typedef uint32_t xcb_shm_seg_t;

static int noted = 0;

static void NoteFirstFrame(void) {
  if (noted) return;
  noted = 1;
  const char* fd_text = getenv("QUORVEL_FIRST_FRAME_FD");
  if (fd_text == NULL) return;
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[64];
  int length =
      snprintf(line, sizeof line, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
  if (write(atoi(fd_text), line, (size_t)length) < 0) {
    // Nothing to be done: the measuring program sees no line.
  }
}

// The wrapped function itself. The toolkit's xcb plugin is opened with its libraries
// kept to itself (libxcb-shm among them), where RTLD_NEXT does not look: the library is
// then asked by name.
static void* Real(const char* name, const char* library) {
  void* function = dlsym(RTLD_NEXT, name);
  if (function == NULL) {
    void* handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD);
    if (handle != NULL) function = dlsym(handle, name);
  }
  return function;
}

#define FORWARD(library, name, ...)                                 \
  static __typeof__(name)* real = NULL;                             \
  if (real == NULL) real = (__typeof__(name)*)Real(#name, library); \
  NoteFirstFrame();                                                 \
  return real(__VA_ARGS__)

xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format, xcb_drawable_t drawable,
                                xcb_gcontext_t gc, uint16_t width, uint16_t height, int16_t x,
                                int16_t y, uint8_t left_pad, uint8_t depth, uint32_t data_len,
                                const uint8_t* data) {
  FORWARD("libxcb.so.1", xcb_put_image, c, format, drawable, gc, width, height, x, y, left_pad,
          depth, data_len, data);
}

xcb_void_cookie_t xcb_put_image_checked(xcb_connection_t* c, uint8_t format,
                                        xcb_drawable_t drawable, xcb_gcontext_t gc, uint16_t width,
                                        uint16_t height, int16_t x, int16_t y, uint8_t left_pad,
                                        uint8_t depth, uint32_t data_len, const uint8_t* data) {
  FORWARD("libxcb.so.1", xcb_put_image_checked, c, format, drawable, gc, width, height, x, y,
          left_pad, depth, data_len, data);
}

xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                    uint16_t total_width, uint16_t total_height, uint16_t src_x,
                                    uint16_t src_y, uint16_t src_width, uint16_t src_height,
                                    int16_t dst_x, int16_t dst_y, uint8_t depth, uint8_t format,
                                    uint8_t send_event, xcb_shm_seg_t shmseg, uint32_t offset) {
  FORWARD("libxcb-shm.so.0", xcb_shm_put_image, c, drawable, gc, total_width, total_height, src_x,
          src_y, src_width, src_height, dst_x, dst_y, depth, format, send_event, shmseg, offset);
}

xcb_void_cookie_t xcb_shm_put_image_checked(xcb_connection_t* c, xcb_drawable_t drawable,
                                            xcb_gcontext_t gc, uint16_t total_width,
                                            uint16_t total_height, uint16_t src_x, uint16_t src_y,
                                            uint16_t src_width, uint16_t src_height, int16_t dst_x,
                                            int16_t dst_y, uint8_t depth, uint8_t format,
                                            uint8_t send_event, xcb_shm_seg_t shmseg,
                                            uint32_t offset) {
  FORWARD("libxcb-shm.so.0", xcb_shm_put_image_checked, c, drawable, gc, total_width, total_height,
          src_x, src_y, src_width, src_height, dst_x, dst_y, depth, format, send_event, shmseg,
          offset);
}
