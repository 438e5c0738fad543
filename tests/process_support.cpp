#include "tests/process_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
// Paths are UTF-8 in the tests; Windows takes them as UTF-16.
fs::path PathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

long ProcessNumber() {
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}
}  // namespace

std::string ScratchDir() {
    // Suites run side by side in processes of their own: a folder each.
    std::string dir = ::testing::TempDir() + "quarnix-" + std::to_string(ProcessNumber());
    std::error_code ignored;
    fs::create_directories(PathOf(dir), ignored);
    return dir + "/";
}

void RemoveScratchDir() {
    std::error_code ignored;
    fs::remove_all(PathOf(::testing::TempDir() + "quarnix-" + std::to_string(ProcessNumber())), ignored);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(PathOf(path), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

#ifdef _WIN32
namespace {
std::wstring Wide(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

// One argument as CommandLineToArgvW splits it back.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE Inheritable(const fs::path& path, bool write) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramRun run{-1, {}, {}};
    const std::string base = ScratchDir() + "run";
    WriteFileBytes(base + ".in", "");
    HANDLE in = Inheritable(PathOf(base + ".in"), false);
    HANDLE out = Inheritable(PathOf(base + ".out"), true);
    HANDLE err = Inheritable(PathOf(base + ".err"), true);
    std::wstring command = Quoted(Wide(program));
    for (const std::string& a : args) command += L" " + Quoted(Wide(a));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    // Under Wine a process now and then fails to start while the prefix is
    // still settling; a few tries tell that apart from a program that
    // cannot start at all.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt) Sleep(200);
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    }
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(pi.hProcess, &code)) run.status = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadFileBytes(base + ".out");
    run.err = ReadFileBytes(base + ".err");
    return run;
}
#else
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
    ProgramRun run{-1, {}, {}};
    const std::string base = ScratchDir() + "run";
    pid_t pid = fork();
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int raw = 0;
    if (pid > 0 && waitpid(pid, &raw, 0) == pid && WIFEXITED(raw)) run.status = WEXITSTATUS(raw);
    run.out = ReadFileBytes(base + ".out");
    run.err = ReadFileBytes(base + ".err");
    return run;
}
#endif

// MARK: pipes

struct PipedFile::Writer {
    std::thread thread;
};

#ifdef _WIN32
PipedFile::PipedFile(const std::string& source) : writer_(new Writer) {
    static int made = 0;
    path_ = "\\\\.\\pipe\\quarnix-" + std::to_string(ProcessNumber()) + "-" + std::to_string(++made);
    HANDLE pipe = CreateNamedPipeW(Wide(path_).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536,
                                   65536, 0, nullptr);
    std::string bytes = ReadFileBytes(source);
    writer_->thread = std::thread([pipe, bytes] {
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) {
            CloseHandle(pipe);
            return;
        }
        DWORD written = 0;
        for (std::size_t at = 0; at < bytes.size(); at += written)
            if (!WriteFile(pipe, bytes.data() + at, static_cast<DWORD>(bytes.size() - at), &written, nullptr)) break;
        // Closing (not disconnecting) leaves what is buffered to the reader.
        CloseHandle(pipe);
    });
}

PipedFile::~PipedFile() {
    // A client of our own ends a wait for one that never came.
    HANDLE client = CreateFileW(Wide(path_).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (client != INVALID_HANDLE_VALUE) {
        char sink[65536];
        DWORD got = 0;
        while (ReadFile(client, sink, sizeof sink, &got, nullptr) && got > 0) {
        }
        CloseHandle(client);
    }
    writer_->thread.join();
    delete writer_;
}
#else
PipedFile::PipedFile(const std::string& source) : writer_(new Writer) {
    static int made = 0;
    path_ = ScratchDir() + "pipe-" + std::to_string(++made);
    mkfifo(path_.c_str(), 0600);
    std::string path = path_;
    std::string bytes = ReadFileBytes(source);
    writer_->thread = std::thread([path, bytes] {
        int fd = open(path.c_str(), O_WRONLY);  // waits for the reader
        if (fd < 0) return;
        for (std::size_t at = 0; at < bytes.size();) {
            ssize_t n = write(fd, bytes.data() + at, bytes.size() - at);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        close(fd);
    });
}

PipedFile::~PipedFile() {
    // A reader of our own ends a wait for one that never came.
    int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        char sink[65536];
        while (read(fd, sink, sizeof sink) > 0) {
        }
    }
    writer_->thread.join();
    if (fd >= 0) close(fd);
    unlink(path_.c_str());
    delete writer_;
}
#endif
