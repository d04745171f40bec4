/* sound_fake.h - the tests' sound device (sound_fake.cpp). */
#ifndef VEXA_SOUND_FAKE_H
#define VEXA_SOUND_FAKE_H

#include "sound_out.h"

#include <vector>

enum { sound_fake_buffer = 1024 };
extern bool sound_fake_missing;  // set: sound_out_open fails, as with no device
std::vector<float> sound_fake_pull(uint32_t frames);

#endif
