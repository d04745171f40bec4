// input_file.h - a person's input file opened without surprises: a regular file only
// (a FIFO or a device is refused at once, never waited on or read forever), of at
// most a given size.
//
//   std::string why;
//   const int fd = input_open("trip.jpg", max_photo_file_bytes, &why, nullptr);
//   if (fd < 0)  ... "trip.jpg: " + why
//   std::string text;
//   input_read_all(fd, 4096, &text, &why);   // false: an error, or more than 4096 bytes
#pragma once

#include <string>

// A read-only descriptor (close it), or -1 with why set to the reason in words.
// size, when not null, receives the file's size.
int input_open(const std::string& path, long long max_bytes, std::string* why, long long* size);

// Reads fd to its end into out; false with why set on a read error or when it holds
// more than max_bytes (then out holds the first max_bytes + 1).
bool input_read_all(int fd, long long max_bytes, std::string* out, std::string* why);
