#pragma once

#include <chrono>
#include <future>
#include <optional>
#include <thread>

// Starts work on a thread of its own and returns its result to come. Wait for it with a limit (wait_for): the
// thread is left behind should it block for good, so work must own (capture by value) everything it touches.
template <typename Work> auto startDetached(Work work) -> std::future<decltype(work())>
{
    std::packaged_task<decltype(work())()> task(std::move(work));
    auto result = task.get_future();
    std::thread(std::move(task)).detach();
    return result;
}

// Runs work on a thread of its own and returns its result, or nothing when it has not finished within ms
// milliseconds. A call that blocks for good then fails its test instead of stopping the whole run. The
// thread is left behind still blocked, so work must own (capture by value) everything it touches.
template <typename Work> auto resultWithin(int ms, Work work) -> std::optional<decltype(work())>
{
    auto result = startDetached(std::move(work));
    if (result.wait_for(std::chrono::milliseconds(ms)) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}
