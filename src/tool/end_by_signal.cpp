/* end_by_signal.cpp - see end_by_signal.h. */
#include "end_by_signal.h"

#include <pthread.h>
#include <signal.h>

void end_by_signal(int sig)
{
    signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
}
