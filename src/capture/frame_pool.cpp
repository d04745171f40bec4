/* frame_pool.cpp - see frame_pool.h. */
#include "frame_pool.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>


struct frame_pool {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::unique_ptr<unsigned char[]>> storage;
    std::vector<unsigned char*> free_frames;
    std::deque<std::pair<unsigned char*, uint32_t>> queued;
    std::vector<std::thread> threads;
    frame_consumer consume;
    void* context;
    bool closing = false, failed = false;
};

static void work(frame_pool* p)
{
    std::unique_lock<std::mutex> hold(p->lock);
    for (;;) {
        p->changed.wait(hold, [p] { return !p->queued.empty() || p->closing; });
        if (p->queued.empty())
            return;
        const auto job = p->queued.front();
        p->queued.pop_front();
        if (!p->failed) {
            hold.unlock();
            const int status = p->consume(p->context, job.second, job.first);
            hold.lock();
            if (status != 0)
                p->failed = true;
        }
        p->free_frames.push_back(job.first);
        p->changed.notify_all();
    }
}

frame_pool* frame_pool_start(int workers, size_t frame_bytes, frame_consumer consume, void* context)
{
    frame_pool* p = new frame_pool;
    p->consume = consume;
    p->context = context;
    for (int i = 0; i < (workers ? workers + 2 : 1); ++i) {
        p->storage.emplace_back(new unsigned char[frame_bytes]);
        p->free_frames.push_back(p->storage.back().get());
    }
    for (int i = 0; i < workers; ++i)
        p->threads.emplace_back(work, p);
    return p;
}

unsigned char* frame_pool_take(frame_pool* p)
{
    std::unique_lock<std::mutex> hold(p->lock);
    p->changed.wait(hold, [p] { return !p->free_frames.empty() || p->failed; });
    if (p->failed)
        return nullptr;
    unsigned char* frame = p->free_frames.back();
    p->free_frames.pop_back();
    return frame;
}

void frame_pool_submit(frame_pool* p, unsigned char* frame, uint32_t index)
{
    if (p->threads.empty()) {  // no workers: the caller's thread does the work
        if (p->consume(p->context, index, frame) != 0)
            p->failed = true;
        p->free_frames.push_back(frame);
        return;
    }
    std::lock_guard<std::mutex> hold(p->lock);
    p->queued.emplace_back(frame, index);
    p->changed.notify_all();
}

int frame_pool_finish(frame_pool* p)
{
    {
        std::lock_guard<std::mutex> hold(p->lock);
        p->closing = true;
        p->changed.notify_all();
    }
    for (auto& t : p->threads)
        t.join();
    const int status = p->failed ? 1 : 0;
    delete p;
    return status;
}
