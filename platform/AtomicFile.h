#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Replaces a file by a complete new one, so that readers (in any process) see
// the old content or the new, never a torn file, and a failed write leaves the
// old file as it was.
//
// The content goes to a temporary file in the target's folder, named
// `temporaryPrefix` followed by the writer's process id, "-", a thread number,
// "-" and a counter; it is written, flushed to the disk and checked, then
// renamed over the target. On any failure the temporary file is removed, the
// target is untouched, the answer is false and `problem` (when given) says
// which step failed and why. The folder must exist: nothing is created but
// the temporary file.
//
// Callers choose a prefix that none of their own files can carry, so that a
// temporary file left by a killed writer is never taken for one.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view content,
                         const std::string& temporaryPrefix, std::string* problem = nullptr);

} // namespace platform
