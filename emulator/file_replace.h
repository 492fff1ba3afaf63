// Replacing a file so that a reader finds either the old content or the new,
// never a part of it, whatever stops the process: the new content is written
// to a file beside the target, flushed to the disk, then renamed over it.
// The only file-system code that differs between POSIX and Windows.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace hostemu {

// Empty when the target holds content; otherwise one line saying what failed.
// On failure the target is as it was and no file is left beside it.
std::string replaceFile(const std::filesystem::path &target, std::string_view content);

// Takes the next piece of the content; false when it could not be written,
// after which the producer hands over no more.
using ContentWriter = std::function<bool(std::string_view)>;
using ContentProducer = std::function<void(const ContentWriter &)>;
// The same with the content handed over by produce as it is made, so that
// it need never be held whole. Such content is taken to be large: on Linux
// it goes to the disk around the page cache.
std::string replaceFile(const std::filesystem::path &target, const ContentProducer &produce);

enum class ReplaceStep { write, flush, rename };

// Makes the next replaceFile fail at step as if the disk had failed there, so
// tests can interrupt a save at each point.
void failNextReplaceAt(ReplaceStep step);

}  // namespace hostemu
