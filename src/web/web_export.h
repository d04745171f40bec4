/* web_export.h - what the page's video export (web_export.cpp) and its host
   (main_web.cpp) share.

   rgba_to_i420 turns a frame read back from GL (RGBA, bottom row first) into
   I420 with the BT.709 matrix, limited range. web_export_canvas gives the
   canvas's drawing buffer the video's size; the host draws nothing of its
   own while an export holds the canvas. */
#ifndef VEXA_WEB_EXPORT_H
#define VEXA_WEB_EXPORT_H

void rgba_to_i420(const unsigned char* rgba, int width, int height, unsigned char* i420);
void web_export_canvas(int width, int height);

#endif
