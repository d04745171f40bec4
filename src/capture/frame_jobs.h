/* frame_jobs.h - a sequence's frames shared among processes, each with its
   own GL context, so that drawing and compressing both run on every core
   (the show's state is one per process; threads could share only the
   compressing).

     status = run_jobs(jobs, open_show, draw_share, &context);

   run_jobs forks jobs - 1 processes; it must be called before any GL context
   exists (a fork does not carry the driver's threads). Every process, the
   caller included, calls open(context) and then share(context, job, jobs)
   for its share, job 0 to jobs - 1. The other processes open only once the
   caller's open has succeeded, so a failure there (a missing image) is
   reported once, by the caller. The processes are registered with
   interrupt.h, so an interrupt of the caller ends them first. Returns 0
   when every share returned 0, or 1. */
#ifndef VEXA_CAPTURE_FRAME_JOBS_H
#define VEXA_CAPTURE_FRAME_JOBS_H

typedef int (*job_open)(void* context);
typedef int (*job_share)(void* context, int job, int jobs);

int run_jobs(int jobs, job_open open, job_share share, void* context);

#endif
