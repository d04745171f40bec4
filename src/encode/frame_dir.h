/* frame_dir.h - the directory a numbered sequence of frames goes into,
   replaced whole or not at all. A set is the frames (frame-NNNNN.png) and
   their sound (audio.wav): a new set replaces both, and nothing else in the
   directory is touched.

     frame_dir d;
     if (frame_dir_open("frames/", force, &d) != 0) return 1;
     ... png files frame_path(d.build, k), frame_sound_path(d.build) ...
     status = ok ? frame_dir_commit(&d) : (frame_dir_discard(&d), 1);

   frame_dir_open makes a new temporary directory, d.build, where the set is
   written; it is registered with interrupt.h, so an interrupt removes it.
   When the directory exists, it is locked (flock) until the set is in place
   or discarded, so a second run into it is refused at once; one that holds
   a set already is refused unless force. d.build is inside it (on its file
   system whatever it is mounted on or linked to). When it is missing, d.build
   is made beside it, under a name of its own for that directory
   (vexa-capture.HASH.new), and locked, so that a second run into the same
   new directory is refused at once too; nothing is made under the
   directory's name until the set is complete.

   frame_dir_commit puts the set in place: a missing directory by renaming
   d.build to its name; an existing one by moving its old set aside, the new
   files in, and only then removing the old set, with SIGINT, SIGTERM and
   SIGHUP held off meanwhile. A failure moves everything back, so the
   directory holds the old set or the new one, never a mixture.
   frame_dir_discard removes d.build and whatever is in it.

   Each returns 0, or 1 after one line naming the directory on standard
   error. frame_path gives DIR/frame-NNNNN.png, the name of frame k, and
   frame_sound_path DIR/audio.wav. */
#ifndef VEXA_ENCODE_FRAME_DIR_H
#define VEXA_ENCODE_FRAME_DIR_H

#include <cstdint>
#include <string>

struct frame_dir {
    std::string dir;    // the directory as given, without a closing '/'
    std::string build;  // the temporary directory the new set is written into
    bool force = false; // an existing set may be replaced
    int fd = -1;        // the existing directory, open and locked; -1 while it is missing
    int build_lock = -1;  // while it is missing: the temporary directory beside it, open and locked
    int slot = -1;      // build's place in the interrupt registry
};

int frame_dir_open(const char* dir, bool force, frame_dir* d);
int frame_dir_commit(frame_dir* d);
void frame_dir_discard(frame_dir* d);
std::string frame_path(const std::string& dir, uint32_t k);
std::string frame_sound_path(const std::string& dir);
/* Whether a file's name is a frame's (frame-*.png), as a set counts them. */
bool frame_is_frame_name(const char* name);

#endif
