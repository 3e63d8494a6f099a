#pragma once
// Copying the bytes of one open file into another, shared by every copy the program makes.

namespace fs {

// Copies from the source's offset to its end; in-kernel where the file systems allow it, else
// through a buffer. False with errno set when a read or write fails.
bool copy_file_content(int source, int target);

} // namespace fs
