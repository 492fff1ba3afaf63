#include "child_process.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace hostemu::validate {
namespace {

// The child finds the file for its result here, so that the module's console
// on stdout never mixes with it.
constexpr char kResultVariable[] = "HOSTEMU_CHILD_RESULT";

std::string thisProgram() {
  std::string path(MAX_PATH, '\0');
  while (true) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Quoted so that the C runtime's argument parser gives back exactly text.
void appendArgument(std::string &line, const std::string &text) {
  if (!line.empty())
    line += ' ';
  if (!text.empty() && text.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += text;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote, and the quote itself, are escaped.
    line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(2 * backslashes, '\\');
  line += '"';
}

std::string temporaryFile(const char *prefix) {
  char folder[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  if (GetTempPathA(sizeof folder, folder) == 0 || GetTempFileNameA(folder, prefix, 0, name) == 0)
    return {};
  return name;
}

std::string readAndRemove(const std::string &path) {
  std::string text;
  {
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  DeleteFileA(path.c_str());
  return text;
}

HANDLE inheritableFile(const char *path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string exitText(DWORD code) {
  char text[64];
  if (code < 0xC0000000u) {
    std::snprintf(text, sizeof text, "exit status %lu", static_cast<unsigned long>(code));
    return text;
  }
  const char *name = code == EXCEPTION_ACCESS_VIOLATION      ? " (access violation)"
                     : code == EXCEPTION_STACK_OVERFLOW      ? " (stack overflow)"
                     : code == EXCEPTION_ILLEGAL_INSTRUCTION ? " (illegal instruction)"
                     : code == EXCEPTION_INT_DIVIDE_BY_ZERO  ? " (integer division by zero)"
                     : code == EXCEPTION_PRIV_INSTRUCTION    ? " (privileged instruction)"
                     : code == STATUS_HEAP_CORRUPTION        ? " (heap corruption)"
                     : code == STATUS_STACK_BUFFER_OVERRUN   ? " (stack buffer overrun)"
                                                             : "";
  std::snprintf(text, sizeof text, "exception 0x%08lX%s", static_cast<unsigned long>(code), name);
  return text;
}

LONG WINAPI endOnCrash(EXCEPTION_POINTERS *pointers) {
  const DWORD code = pointers->ExceptionRecord->ExceptionCode;
  char line[160];
  // The parent names the exception from the exit code; the place is only known here.
  int length = std::snprintf(line, sizeof line, "hostemu validate: the check crashed at %p\n",
                             pointers->ExceptionRecord->ExceptionAddress);
  DWORD wrote = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(length), &wrote, nullptr);
  TerminateProcess(GetCurrentProcess(), code);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

ChildOutcome runInChild(const ChildTask &task, std::chrono::milliseconds limit) {
  ChildOutcome outcome;
  const std::string program = thisProgram();
  const std::string resultFile = temporaryFile("hvr");
  const std::string errorFile = temporaryFile("hve");
  if (program.empty() || resultFile.empty() || errorFile.empty()) {
    outcome.why = "no program path or temporary file (error " + std::to_string(GetLastError()) + ")";
    return outcome;
  }
  std::string commandLine;
  appendArgument(commandLine, program);
  for (const std::string &argument : task.arguments)
    appendArgument(commandLine, argument);

  HANDLE input = inheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE output = inheritableFile("NUL", GENERIC_WRITE, OPEN_EXISTING);
  HANDLE errors = inheritableFile(errorFile.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  std::fflush(nullptr);
  SetEnvironmentVariableA(kResultVariable, resultFile.c_str());
  const BOOL made = input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE && errors != INVALID_HANDLE_VALUE &&
                    CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, nullptr, &startup, &process);
  const DWORD madeError = GetLastError();
  SetEnvironmentVariableA(kResultVariable, nullptr);
  for (HANDLE handle : {input, output, errors}) {
    if (handle != INVALID_HANDLE_VALUE)
      CloseHandle(handle);
  }
  if (!made) {
    readAndRemove(resultFile);
    readAndRemove(errorFile);
    outcome.why = "no child process (error " + std::to_string(madeError) + ")";
    return outcome;
  }
  CloseHandle(process.hThread);

  const DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count()));
  if (waited != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  std::string result = readAndRemove(resultFile);
  const std::string errorText = readAndRemove(errorFile);

  if (waited == WAIT_TIMEOUT) {
    outcome.end = ChildEnd::timedOut;
    outcome.why = "still running after " + std::to_string(limit.count() / 1000.0).substr(0, 5) + " s; killed";
    return outcome;
  }
  if (code == 0 && !result.empty()) {
    outcome.end = ChildEnd::finished;
    outcome.result = std::move(result);
    return outcome;
  }
  outcome.end = ChildEnd::crashed;
  outcome.why = exitText(code);
  if (std::string line = firstErrorLine(errorText); !line.empty())
    outcome.why += ": " + line;
  return outcome;
}

bool returnToParent(const std::string &result) {
  const char *file = std::getenv(kResultVariable);
  if (file == nullptr || *file == '\0')
    return false;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << result;
  out.close();
  return !out.fail();
}

void prepareChild() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(endOnCrash);
}

namespace {

DWORD WINAPI runBody(LPVOID body) {
  (*static_cast<const std::function<void()> *>(body))();
  return 0;
}

}  // namespace

bool runOnSmallStack(const std::function<void()> &body, size_t stackBytes) {
  HANDLE thread = CreateThread(nullptr, stackBytes, runBody, const_cast<std::function<void()> *>(&body),
                               STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (thread == nullptr)
    return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
}

}  // namespace hostemu::validate
