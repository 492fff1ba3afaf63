#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

namespace hostemu::validate {
namespace {

void writeAll(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR)
      continue;
    if (wrote <= 0)
      return;
    done += static_cast<size_t>(wrote);
  }
}

[[noreturn]] void runChild(const std::function<std::string()> &body, int resultFd, int errorFd) {
  ::dup2(errorFd, STDERR_FILENO);
  ::close(errorFd);
  // The module's console is not the validator's output.
  int devNull = ::open("/dev/null", O_WRONLY);
  if (devNull >= 0) {
    ::dup2(devNull, STDOUT_FILENO);
    ::close(devNull);
  }
  std::string result;
  try {
    result = body();
  } catch (const std::exception &error) {
    std::fprintf(stderr, "hostemu validate: the check stopped with an exception: %s\n", error.what());
    std::fflush(stderr);
    ::_exit(3);
  }
  writeAll(resultFd, result);
  ::close(resultFd);
  // _exit: the parent's atexit handlers and buffers are not the child's.
  ::_exit(0);
}

std::string signalText(int number) {
  const char *name = ::strsignal(number);
  return "signal " + std::to_string(number) + (name ? std::string(" (") + name + ")" : std::string());
}

}  // namespace

ChildOutcome runInChild(const ChildTask &task, std::chrono::milliseconds limit) {
  const std::function<std::string()> &body = task.body;
  ChildOutcome outcome;
  int resultPipe[2];
  int errorPipe[2];
  if (::pipe(resultPipe) != 0) {
    outcome.why = std::string("no pipe: ") + std::strerror(errno);
    return outcome;
  }
  if (::pipe(errorPipe) != 0) {
    outcome.why = std::string("no pipe: ") + std::strerror(errno);
    ::close(resultPipe[0]);
    ::close(resultPipe[1]);
    return outcome;
  }
  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) {
    outcome.why = std::string("no child process: ") + std::strerror(errno);
    for (int fd : {resultPipe[0], resultPipe[1], errorPipe[0], errorPipe[1]})
      ::close(fd);
    return outcome;
  }
  if (child == 0) {
    ::close(resultPipe[0]);
    ::close(errorPipe[0]);
    runChild(body, resultPipe[1], errorPipe[1]);
  }
  ::close(resultPipe[1]);
  ::close(errorPipe[1]);

  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::string result;
  std::string errors;
  pollfd fds[2] = {{resultPipe[0], POLLIN, 0}, {errorPipe[0], POLLIN, 0}};
  std::string *sinks[2] = {&result, &errors};
  int open = 2;
  bool timedOut = false;
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    int ready = ::poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 1000)));
    if (ready < 0 && errno != EINTR)
      break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      char buffer[4096];
      ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  // Both pipes closed: the child is on its way out, but may still hang.
  int status = 0;
  while (!timedOut) {
    pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child)
      break;
    if (done < 0 && errno != EINTR) {
      outcome.end = ChildEnd::crashed;
      outcome.why = "the child process vanished";
      return outcome;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      timedOut = true;
      break;
    }
    ::usleep(5000);
  }
  for (pollfd &fd : fds) {
    if (fd.fd >= 0)
      ::close(fd.fd);
  }
  if (timedOut) {
    ::kill(child, SIGKILL);
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.end = ChildEnd::timedOut;
    outcome.why = "still running after " + std::to_string(limit.count() / 1000.0).substr(0, 5) + " s; killed";
    return outcome;
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !result.empty()) {
    outcome.end = ChildEnd::finished;
    outcome.result = std::move(result);
    return outcome;
  }
  outcome.end = ChildEnd::crashed;
  outcome.why = WIFSIGNALED(status) ? signalText(WTERMSIG(status))
                                    : "exit status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  if (std::string line = firstErrorLine(errors); !line.empty())
    outcome.why += ": " + line;
  return outcome;
}

// A forked child returns through its pipe, and never starts this program anew.
bool returnToParent(const std::string &) {
  return false;
}

void prepareChild() {}

namespace {

void *runBody(void *body) {
  (*static_cast<const std::function<void()> *>(body))();
  return nullptr;
}

}  // namespace

bool runOnSmallStack(const std::function<void()> &body, size_t stackBytes) {
  pthread_attr_t attributes;
  if (::pthread_attr_init(&attributes) != 0)
    return false;
  pthread_t thread;
  bool made = ::pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
              ::pthread_create(&thread, &attributes, runBody, const_cast<std::function<void()> *>(&body)) == 0;
  ::pthread_attr_destroy(&attributes);
  if (made)
    ::pthread_join(thread, nullptr);
  return made;
}

}  // namespace hostemu::validate
