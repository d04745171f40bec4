/* sound_out_sdl.cpp - sound_out.h on SDL2's audio. Only the audio
   subsystem is started; the window stays GLUT's. */
#include "sound_out.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>

static SDL_AudioDeviceID m_device;
static sound_fill m_fill;
static uint32_t m_channels, m_buffer;

static void callback(void*, Uint8* stream, int bytes)
{
    m_fill((float*)stream, (uint32_t)bytes / (uint32_t)(sizeof(float) * m_channels));
}

/* ALSA's library, which SDL loads for its ALSA driver, writes complaints of
   its own to standard error ("ALSA lib confmisc.c:...: cannot find card
   '0'") before SDL gives up on it; the one line the caller says names the
   missing device. Loaded here first (SDL's load then finds it, once per
   process), the library takes a handler that drops them. Without the
   library there is nothing to quiet. */
static void alsa_says_nothing(const char*, int, const char*, int, const char*, ...) {}

static void quiet_alsa(void)
{
    typedef void (*alsa_handler)(const char*, int, const char*, int, const char*, ...);
    static void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);  // kept for the handler's sake
    if (!alsa)
        return;
    if (void* set = dlsym(alsa, "snd_lib_error_set_handler"))
        ((int (*)(alsa_handler))set)(alsa_says_nothing);
}

int sound_out_open(uint32_t rate, uint32_t channels, sound_fill fill, std::string* why)
{
    quiet_alsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *why = std::string("no sound device (") + SDL_GetError() + ")";
        return 1;
    }
    SDL_AudioSpec want = {}, have = {};
    want.freq = (int)rate;
    want.format = AUDIO_F32SYS;
    want.channels = (Uint8)channels;
    want.samples = 1024;
    want.callback = callback;
    m_fill = fill;
    m_channels = channels;
    m_device = SDL_OpenAudioDevice(NULL, 0, &want, &have, 0);  // SDL converts to what the device takes
    if (m_device == 0) {
        *why = std::string("no sound device (") + SDL_GetError() + ")";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 1;
    }
    m_buffer = have.samples;
    return 0;
}

void sound_out_pause(bool paused)
{
    if (m_device)
        SDL_PauseAudioDevice(m_device, paused ? 1 : 0);
}

uint32_t sound_out_latency(void)
{
    return m_buffer;
}

void sound_out_close(void)
{
    if (!m_device)
        return;
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
