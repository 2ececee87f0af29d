// An in-memory file system: what reached each file, which handles are open, and
// scripted failures for creating, writing and closing.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/file_api.h"

class FakeFileApi : public FileApi {
 public:
  std::map<std::string, std::string> disk;       // path -> bytes on disk
  std::map<FileHandle, std::string> open_files;  // handle -> path
  std::vector<std::string> calls;                // "create PATH", "write N", "close"

  std::map<std::string, uint32_t> create_error;  // path -> error code
  int fail_write_number = 0;                     // 1-based write call to fail, 0: none
  uint32_t write_error = 112;                    // ERROR_DISK_FULL
  int short_write_number = 0;                    // 1-based write call that writes less
  uint32_t close_error = 0;

  uint32_t Create(const char* path, FileHandle* file) override {
    calls.push_back(std::string("create ") + path);
    const auto failure = create_error.find(path);
    if (failure != create_error.end()) return failure->second;
    disk[path].clear();  // created anew: earlier content goes
    *file = next_handle_++;
    open_files[*file] = path;
    return kNoError;
  }

  uint32_t Write(FileHandle file, const char* data, uint32_t size, uint32_t* written) override {
    ++writes_;
    calls.push_back("write " + std::to_string(size));
    if (writes_ == fail_write_number) return write_error;
    const uint32_t count = writes_ == short_write_number ? size / 2 : size;
    disk[open_files.at(file)].append(data, count);
    *written = count;
    return kNoError;
  }

  uint32_t Close(FileHandle file) override {
    calls.push_back("close");
    if (close_error != kNoError) return close_error;
    open_files.erase(file);
    return kNoError;
  }

 private:
  FileHandle next_handle_ = 100;
  int writes_ = 0;
};
