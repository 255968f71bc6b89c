// frostvale --layer-shell against Wayland compositors: a small one of the test's own for
// the refusals, and Debian's sway on its headless backend for the real run (screenshots
// with grim, an output resize, SIGTERM).

#include "platform/image/image.h"

#include <gtest/gtest.h>

#include <wayland-server-core.h>
#include <wayland-server-protocol.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" const struct wl_interface zwlr_layer_shell_v1_interface;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kFrostvale = std::string(FV_BINARY_DIR) + "/app/frostvale";

struct User {
    uid_t uid = 0;
    gid_t gid = 0;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Starts argv with exactly env, output to log, as user; keepFd stays open in the child.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& log,
            const User& user, int keepFd = -1) {
    std::vector<char*> args, vars;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const auto& v : env) vars.push_back(const_cast<char*>(v.c_str()));
    args.push_back(nullptr);
    vars.push_back(nullptr);
    const std::string logPath = log.string();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    const int out = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) _exit(126);
    if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
    if (geteuid() != user.uid && (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0))
        _exit(126);
    execve(args[0], args.data(), vars.data());
    _exit(127);
}

// The exit status, or -1 when the process still runs after timeoutMs.
int WaitExit(pid_t pid, int timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return status;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    if (WaitExit(pid, 5000) == -1) {
        kill(pid, SIGKILL);
        WaitExit(pid, 5000);
    }
}

// sway refuses root: as root the test runs everything as a plain user of its own.
bool TestUser(User& user, std::string& why) {
    if (geteuid() != 0) {
        user = {geteuid(), getegid()};
        return true;
    }
    const char* name = "frostvale-wayland";
    if (!getpwnam(name))
        std::system((std::string("useradd --system --no-create-home --shell /usr/sbin/nologin ") + name +
                     " >/dev/null 2>&1").c_str());
    const passwd* entry = getpwnam(name);
    if (!entry) {
        why = "cannot make the unprivileged user sway needs (useradd failed)";
        return false;
    }
    user = {entry->pw_uid, entry->pw_gid};
    return true;
}

// A compositor of the test's own, speaking to one client through a socket pair: it offers
// wl_compositor and, when asked, zwlr_layer_shell_v1 and one output named "FAKE-1".
class SmallCompositor {
public:
    explicit SmallCompositor(bool layerShell) {
        display_ = wl_display_create();
        wl_global_create(display_, &wl_compositor_interface, 4, const_cast<wl_interface*>(&wl_compositor_interface),
                         BindPlain);
        if (layerShell) {
            wl_global_create(display_, &zwlr_layer_shell_v1_interface, 1,
                             const_cast<wl_interface*>(&zwlr_layer_shell_v1_interface), BindPlain);
            wl_global_create(display_, &wl_output_interface, 4, nullptr, BindOutput);
        }
        int fds[2];
        socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds);
        wl_client_create(display_, fds[0]);
        clientFd_ = fds[1];
        thread_ = std::thread([this] {
            while (!stop_) {
                wl_event_loop_dispatch(wl_display_get_event_loop(display_), 20);
                wl_display_flush_clients(display_);
            }
        });
    }
    ~SmallCompositor() {
        stop_ = true;
        thread_.join();
        close(clientFd_);
        wl_display_destroy_clients(display_);
        wl_display_destroy(display_);
    }
    int ClientFd() const { return clientFd_; }

private:
    static void BindPlain(wl_client* client, void* interface, std::uint32_t version, std::uint32_t id) {
        // The program refuses before it sends any request on these.
        wl_resource_create(client, static_cast<const wl_interface*>(interface), int(version), id);
    }
    static void BindOutput(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
        wl_resource* output = wl_resource_create(client, &wl_output_interface, int(version), id);
        if (version >= WL_OUTPUT_NAME_SINCE_VERSION) wl_output_send_name(output, "FAKE-1");
        if (version >= WL_OUTPUT_DONE_SINCE_VERSION) wl_output_send_done(output);
    }

    wl_display* display_;
    int clientFd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

// Where no layer-shell surface can be made, the program says why in one line and exits 1.
TEST(LayerShell, RefusesWithOneLineWhereNoSurfaceCanBeMade) {
    const fs::path dir = fs::temp_directory_path() / ("fv_layer_refusal_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const struct {
        const char* name;
        int compositor;  // 0: none, 1: without the layer shell, 2: with it
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {"no compositor", 0, {}, "cannot connect to a Wayland compositor through WAYLAND_DISPLAY=nowhere-0"},
        {"no layer shell", 1, {}, "offers no zwlr_layer_shell_v1"},
        {"unknown output", 2, {"NOPE-9"}, "has no output named 'NOPE-9' (outputs: FAKE-1)"},
    };
    for (const auto& c : cases) {
        std::unique_ptr<SmallCompositor> compositor;
        std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + dir.string(), "HOME=" + dir.string()};
        if (c.compositor == 0) {
            env.push_back("WAYLAND_DISPLAY=nowhere-0");
        } else {
            compositor = std::make_unique<SmallCompositor>(c.compositor == 2);
            env.push_back("WAYLAND_SOCKET=" + std::to_string(compositor->ClientFd()));
        }
        std::vector<std::string> argv = {kFrostvale, "--layer-shell"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const fs::path log = dir / "out.txt";
        const pid_t pid = Spawn(argv, env, log, {geteuid(), getegid()}, compositor ? compositor->ClientFd() : -1);
        const int status = WaitExit(pid, 60000);
        ASSERT_NE(status, -1) << c.name;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.name << ": status " << status;
        const std::string out = ReadText(log);
        EXPECT_EQ(out.rfind("Error: --layer-shell: ", 0), 0u) << c.name << ": " << out;
        EXPECT_NE(out.find(c.expected), std::string::npos) << c.name << ": " << out;
        EXPECT_EQ(out.find('\n'), out.size() - 1) << c.name << ": " << out;
    }
    fs::remove_all(dir);
}

namespace {

// Share of pixels that are neither the compositor's background nor black, and the number of
// distinct colours among them.
struct Coverage {
    double share = 0;
    int colours = 0;
};

int Distance(std::uint32_t a, std::uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return most;
}

Coverage Measure(const image::Image& shot, std::uint32_t background, int x0 = 0, int y0 = 0) {
    Coverage coverage;
    std::vector<std::uint32_t> seen;
    long drawn = 0, total = 0;
    for (int y = y0; y < shot.height; ++y)
        for (int x = x0; x < shot.width; ++x, ++total) {
            const std::uint32_t p = shot.At(x, y) & 0xFFFFFF;
            if (Distance(p, background) <= 6 || Distance(p, 0) <= 6) continue;
            ++drawn;
            if (seen.size() < 4096 && std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
        }
    coverage.share = total ? double(drawn) / double(total) : 0;
    coverage.colours = int(seen.size());
    return coverage;
}

class HeadlessSway {
public:
    bool Start(const User& user, const fs::path& dir, std::string& why) {
        user_ = user;
        dir_ = dir;
        fs::create_directories(dir);
        chown(dir.c_str(), user.uid, user.gid);
        fs::permissions(dir, fs::perms::owner_all);
        const fs::path config = dir / "sway.conf";
        std::ofstream(config) << "xwayland disable\n";
        const std::vector<std::string> env = {
            "HOME=" + dir.string(), "XDG_RUNTIME_DIR=" + dir.string(), "PATH=/usr/bin:/bin",
            "WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_HEADLESS_OUTPUTS=2"};
        pid_ = Spawn({"/usr/bin/sway", "-c", config.string()}, env, dir / "sway.log", user);
        for (int i = 0; i < 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            for (const auto& entry : fs::directory_iterator(dir)) {
                const std::string name = entry.path().filename().string();
                if (name.rfind("wayland-", 0) == 0 && name.find('.') == std::string::npos) socket_ = name;
                if (name.rfind("sway-ipc.", 0) == 0) ipc_ = entry.path().string();
            }
            if (!socket_.empty() && !ipc_.empty()) return true;
        }
        const std::string log = ReadText(dir / "sway.log");
        why = "sway cannot start here: " + log.substr(log.size() > 300 ? log.size() - 300 : 0);
        return false;
    }
    ~HeadlessSway() {
        End();
        fs::remove_all(dir_);
    }
    void End() {
        if (pid_ > 0) Stop(pid_);
        pid_ = -1;
    }

    std::vector<std::string> ClientEnv() const {
        return {"HOME=" + dir_.string(), "XDG_RUNTIME_DIR=" + dir_.string(), "WAYLAND_DISPLAY=" + socket_,
                "SWAYSOCK=" + ipc_, "PATH=/usr/bin:/bin"};
    }
    // Runs a client tool to its end; true when it succeeded.
    bool Tool(const std::vector<std::string>& argv) const {
        const pid_t pid = Spawn(argv, ClientEnv(), dir_ / "tool.log", user_);
        const int status = WaitExit(pid, 30000);
        return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    image::Image Screenshot(const std::string& output) const {
        image::Image shot;
        const fs::path file = dir_ / ("shot-" + output + ".png");
        if (!Tool({"/usr/bin/grim", "-o", output, file.string()})) return shot;
        const std::string bytes = ReadText(file);
        image::DecodeImage(bytes.data(), bytes.size(), shot);
        return shot;
    }

private:
    User user_;
    fs::path dir_;
    pid_t pid_ = -1;
    std::string socket_, ipc_;
};

// Screenshots until the output shows the village over all of it (a share of at least 0.9,
// hundreds of colours, the bottom-right corner too) or the time is up.
bool WaitForVillage(const HeadlessSway& sway, const std::string& output, std::uint32_t background, int width,
                    int height, int seconds) {
    for (int i = 0; i < seconds; ++i) {
        const image::Image shot = sway.Screenshot(output);
        if (shot.width == width && shot.height == height) {
            const Coverage all = Measure(shot, background);
            const Coverage corner = Measure(shot, background, width - 64, height - 64);
            if (all.share > 0.9 && all.colours > 200 && corner.share > 0.9) return true;
        }
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return false;
}

}  // namespace

// The village fills the named output behind everything and nowhere else, follows the
// output's new size; the run ends by SIGTERM in order, and when the compositor goes away.
TEST(LayerShell, DrawsTheVillageOnOneOutputOfHeadlessSway) {
    User user;
    std::string why;
    if (!TestUser(user, why)) GTEST_SKIP() << why;
    const fs::path dir = fs::path("/tmp") / ("fv_layer_sway_" + std::to_string(getpid()));
    HeadlessSway sway;
    if (!sway.Start(user, dir, why)) GTEST_SKIP() << why;
    const image::Image empty = sway.Screenshot("HEADLESS-1");
    ASSERT_FALSE(empty.Empty()) << "grim took no screenshot";
    const std::uint32_t background = empty.At(empty.width / 2, empty.height / 2) & 0xFFFFFF;
    const int width = empty.width, height = empty.height;
    const auto run = [&](const std::string& output) {
        return Spawn({kFrostvale, "--layer-shell", output}, sway.ClientEnv(), dir / (output + ".log"), user);
    };

    const pid_t first = run("HEADLESS-1");
    EXPECT_TRUE(WaitForVillage(sway, "HEADLESS-1", background, width, height, 180)) << ReadText(dir / "HEADLESS-1.log");
    const image::Image other = sway.Screenshot("HEADLESS-2");
    EXPECT_LT(Measure(other, background).share, 0.01) << "the village shows on the other output too";

    // A larger output: a surface that kept its old size would leave the background showing.
    ASSERT_TRUE(sway.Tool({"/usr/bin/swaymsg", "output", "HEADLESS-1", "resolution", "1600x900"}));
    EXPECT_TRUE(WaitForVillage(sway, "HEADLESS-1", background, 1600, 900, 120)) << ReadText(dir / "HEADLESS-1.log");

    const pid_t second = run("HEADLESS-2");
    EXPECT_TRUE(WaitForVillage(sway, "HEADLESS-2", background, width, height, 180)) << ReadText(dir / "HEADLESS-2.log");

    kill(first, SIGTERM);
    int status = WaitExit(first, 10000);
    if (status == -1) Stop(first);
    EXPECT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;

    // The compositor ends: the other run ends as a run does (exit status 1).
    sway.End();
    status = WaitExit(second, 10000);
    if (status == -1) Stop(second);
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
    for (const char* output : {"HEADLESS-1", "HEADLESS-2"})
        EXPECT_EQ(ReadText(dir / (std::string(output) + ".log")).find("Sanitizer"), std::string::npos)
            << ReadText(dir / (std::string(output) + ".log"));
}
