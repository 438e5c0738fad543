// What the tests need of the operating system, the same on Linux and on
// Windows: a per-process scratch folder, and running a program with its
// standard streams going to and from files.
#pragma once
#include <string>
#include <vector>

// A folder of this process's own under the test temporary folder, made on
// first use; ends with a separator.
std::string ScratchDir();
// Removes the scratch folder and what is in it.
void RemoveScratchDir();

struct ProgramRun {
    int status;  // exit code; -1 when it did not start or did not exit
    std::string out, err;
};
// Runs `program` with `args` (each passed as one argument, UTF-8), stdin
// empty, and waits for it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args);

// A path that reads as a pipe (a FIFO; on Windows a named pipe) delivering
// the bytes of a file once to the first reader: a file whose size cannot be
// known in advance.
class PipedFile {
public:
    explicit PipedFile(const std::string& source);
    ~PipedFile();  // unblocks and ends the writer if nobody read
    PipedFile(const PipedFile&) = delete;
    PipedFile& operator=(const PipedFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    struct Writer;
    Writer* writer_;
};

// Reads a whole file as bytes; empty when it does not open.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
