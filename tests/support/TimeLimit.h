#pragma once

#include <chrono>
#include <future>
#include <optional>
#include <thread>

// Runs work on a thread of its own and returns its result, or nothing when it has not finished within ms
// milliseconds. A call that blocks for good then fails its test instead of stopping the whole run. The
// thread is left behind still blocked, so work must own (capture by value) everything it touches.
template <typename Work> auto resultWithin(int ms, Work work) -> std::optional<decltype(work())>
{
    std::packaged_task<decltype(work())()> task(std::move(work));
    auto result = task.get_future();
    std::thread(std::move(task)).detach();
    if (result.wait_for(std::chrono::milliseconds(ms)) != std::future_status::ready)
        return std::nullopt;
    return result.get();
}
