/* frame_pool.h - frames handed from the drawing thread to worker threads.

   The drawing thread takes a free buffer, reads a frame into it and submits
   it with its number; `workers` threads pass each submitted frame to
   consume() and return the buffer. Buffers are few (workers + 2), so memory
   stays bounded and the drawing waits when the workers fall behind. With one
   worker, frames are consumed in the order submitted (a video's pipe, or
   PNG files while the next frame is drawn); with more, in any order; with
   none, by frame_pool_submit in the drawing thread itself.

     frame_pool* pool = frame_pool_start(1, bytes, write_png, &ctx);
     for (k ...) {
         unsigned char* buf = frame_pool_take(pool);
         if (!buf) break;                 // a worker failed: stop drawing
         ... read frame k into buf ...
         frame_pool_submit(pool, buf, k);
     }
     status = frame_pool_finish(pool);    // 0, or 1 when any consume failed

   consume returns 0, or nonzero after reporting its own failure; after the
   first failure the remaining frames are dropped. */
#ifndef VEXA_CAPTURE_FRAME_POOL_H
#define VEXA_CAPTURE_FRAME_POOL_H

#include <cstddef>
#include <cstdint>

struct frame_pool;
typedef int (*frame_consumer)(void* context, uint32_t index, const unsigned char* frame);

frame_pool* frame_pool_start(int workers, size_t frame_bytes, frame_consumer consume, void* context);
unsigned char* frame_pool_take(frame_pool* pool);
void frame_pool_submit(frame_pool* pool, unsigned char* frame, uint32_t index);
int frame_pool_finish(frame_pool* pool);

#endif
