/* sound_out.h - the sound device, the one platform service the window
   program's music needs: a stream of 48 kHz stereo float that the device
   pulls through a fill function, on a thread of its own.

     if (sound_out_open(48000, 2, fill, &why) != 0) ... why: "no sound device (...)"
     sound_out_pause(true);   // silence, the fill not called, until false
     sound_out_close();

   sound_out_open starts paused. sound_out_sdl.cpp implements it with SDL2's
   audio (SDL_AUDIODRIVER picks the driver, "dummy" a device that plays
   nothing on a real-time clock); the tests link a device of their own that
   they pull by hand. No other file of the program includes SDL. */
#ifndef VEXA_SOUND_OUT_H
#define VEXA_SOUND_OUT_H

#include <cstdint>
#include <string>

/* Fills frames interleaved frames of out; called on the device's thread. */
typedef void (*sound_fill)(float* out, uint32_t frames);

int sound_out_open(uint32_t rate, uint32_t channels, sound_fill fill, std::string* why);
void sound_out_pause(bool paused);
/* Frames the device holds between the fill and the listener. */
uint32_t sound_out_latency(void);
void sound_out_close(void);

#endif
