/* write_all.h - writes a whole buffer to a descriptor, going on after a
   short write and after EINTR.

     if (int error = write_all(fd, bytes, size))  ... strerror(error)

   0 when every byte was written; else the errno value of the failure (EIO
   when write wrote nothing and said no error). */
#ifndef VEXA_WRITE_ALL_H
#define VEXA_WRITE_ALL_H

#include <cstddef>

int write_all(int fd, const void* data, size_t size);

#endif
