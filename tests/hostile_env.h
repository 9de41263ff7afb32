// hostile_env: what the hostile-environment tests do to the running game from outside:
// an X server of their own that they can kill, xdotool to click and to take the focus
// away, inotify to see when the game opens a file, and the user to run it as.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace hostile {

namespace fs = std::filesystem;

inline int HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

struct rgb {
  int r = 0, g = 0, b = 0;
};

struct screen_shot {
  int w = 0;
  std::vector<rgb> px;
  rgb at(int x, int y) const { return px.empty() ? rgb{} : px[static_cast<size_t>(y * w + x)]; }
  template <class Test>
  int Count(Test test) const {
    int n = 0;
    for (const rgb& c : px) n += test(c) ? 1 : 0;
    return n;
  }
};

// Xvfb on a display number it picks itself (-displayfd), so parallel runs never collide.
// Its screen is kept in a file (-fbdir), so a test can see what the game has drawn.
class xvfb_server {
 public:
  explicit xvfb_server(const std::string& screen = "640x480x24") {
    if (!fbdir_.Make("xvfb")) return;
    int fds[2];
    if (pipe(fds) != 0) return;
    std::string fd = std::to_string(fds[1]);
    pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
      childproc::DieWithParent(parent);
      close(fds[0]);
      int null = open("/dev/null", O_RDWR);
      dup2(null, 0), dup2(null, 1), dup2(null, 2);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-fbdir", fbdir_.path().c_str(),
             "-nolisten", "tcp", nullptr);
      _exit(127);
    }
    close(fds[1]);
    number_ = ReadNumber(fds[0]);
    close(fds[0]);
  }
  ~xvfb_server() {
    Kill();
  }
  xvfb_server(const xvfb_server&) = delete;
  xvfb_server& operator=(const xvfb_server&) = delete;

  int ok() const { return number_ >= 0; }
  std::string display() const {
    std::string d = ":";
    return d += std::to_string(number_);
  }

  // The server ends at once, as in a crash; its lock stays until this object goes, so no
  // other server takes the number while the test still points at it.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  // The screen as it is now; empty when the server is gone. The screen file is XWD: a
  // big-endian header, a colour table, then rows of 32-bit pixels.
  screen_shot Grab() const {
    screen_shot shot;
    std::vector<uint8_t> d = ReadBytes(fbdir_ / "Xvfb_screen0");
    if (d.size() < 100) return shot;
    auto field = [&d](int i) { return (long(d[4 * i]) << 24) | (d[4 * i + 1] << 16) | (d[4 * i + 2] << 8) | d[4 * i + 3]; };
    long start = field(0) + 12 * field(19), w = field(4), h = field(5), line = field(12);
    if (field(11) != 32 || start + line * h > static_cast<long>(d.size())) return shot;
    shot.w = static_cast<int>(w);
    for (long y = 0; y < h; y++)
      for (long x = 0; x < w; x++) {
        const unsigned char* p = &d[start + line * y + 4 * x];
        shot.px.push_back({p[2], p[1], p[0]});
      }
    return shot;
  }

  // Waits up to timeout_ms for the screen to show what seen() looks for.
  template <class Test>
  int WaitForScreen(Test seen, int timeout_ms) const {
    for (int waited = 0; waited < timeout_ms; waited += 50, SleepMs(50))
      if (seen(Grab())) return 1;
    return 0;
  }

  // A window's icon as a window manager reads it (_NET_WM_ICON): the first picture's
  // width and height, and how many of its pixels are opaque.
  struct icon {
    long w = 0, h = 0, opaque = 0;
  };
  icon IconOf(unsigned long window) const {
    icon got;
    Display* d = XOpenDisplay(display().c_str());
    if (!d) return got;
    Atom type;
    int format;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    Atom name = XInternAtom(d, "_NET_WM_ICON", False);
    if (XGetWindowProperty(d, window, name, 0, 1 << 16, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success &&
        data && n >= 2) {
      const long* v = reinterpret_cast<const long*>(data);  // Xlib hands 32-bit items back as longs
      got.w = v[0], got.h = v[1];
      for (unsigned long i = 2; i < n && i < 2 + static_cast<unsigned long>(got.w * got.h); i++)
        got.opaque += ((v[i] >> 24) & 0xff) == 0xff;
    }
    if (data) XFree(data);
    XCloseDisplay(d);
    return got;
  }

  // xdotool on this display; what it printed.
  std::string Xdo(const std::string& args) const {
    std::string cmd = "DISPLAY=" + display() + " timeout 30 xdotool " + args + " 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
      char buf[256];
      while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
      pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
  }

 private:
  static int ReadNumber(int fd) {
    std::string line;
    pollfd p{fd, POLLIN, 0};
    while (line.find('\n') == std::string::npos && poll(&p, 1, 20000) > 0) {
      char buf[32];
      ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) break;
      line.append(buf, static_cast<size_t>(n));
    }
    return line.find('\n') == std::string::npos ? -1 : std::atoi(line.c_str());
  }

  temp_folder fbdir_;
  pid_t pid_ = -1;
  int number_ = -1;
};

// Counts the opens of one file, as the kernel reports them. The closes are watched too:
// the kernel folds an event into an identical one still unread, so opens alone, back to
// back, would count as one.
class open_watch {
 public:
  explicit open_watch(const fs::path& file) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0) inotify_add_watch(fd_, file.c_str(), IN_OPEN | IN_CLOSE);
  }
  ~open_watch() {
    if (fd_ >= 0) close(fd_);
  }
  open_watch(const open_watch&) = delete;
  open_watch& operator=(const open_watch&) = delete;

  int Opens() {
    alignas(inotify_event) char buf[4096];
    for (ssize_t n; fd_ >= 0 && (n = read(fd_, buf, sizeof buf)) > 0;)
      for (char* p = buf; p < buf + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len)
        opens_ += (reinterpret_cast<inotify_event*>(p)->mask & IN_OPEN) != 0;
    return opens_;
  }
  int WaitForOpen(int timeout_ms) {
    for (int waited = 0; Opens() == 0 && waited < timeout_ms; waited += 20) SleepMs(20);
    return Opens() > 0;
  }

 private:
  int fd_ = -1, opens_ = 0;
};

// The ordinary user the unreadable-file tests run the game as, when they run as root.
struct user_ids {
  int uid = -1, gid = -1;
};

inline user_ids Nobody() {
  user_ids u;
  if (passwd* pw = getpwnam("nobody")) u.uid = static_cast<int>(pw->pw_uid), u.gid = static_cast<int>(pw->pw_gid);
  return u;
}

}  // namespace hostile
