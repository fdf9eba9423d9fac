#include "emulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "hidhost/sim.h"
#include "hidhost/sim_device.h"
#include "hidraw_lookup.h"
#include "uhid_device.h"

namespace hidhost::uhid {

namespace {

constexpr uint64_t kNodeLookupMs = 20;      // between looks for a new hidraw node
constexpr uint64_t kNodeGiveUpMs = 10000;   // a device the kernel never gave a node

struct Interface {
  std::shared_ptr<sim::DeviceModel> model;
  std::unique_ptr<UhidDevice> device;
  size_t index = 0;
  uint64_t createdAt = 0;
  std::optional<uint64_t> unplugAt;
  std::string node;
  std::function<void(const std::string&)> typing;  // to the keyboard that types for it
  bool created = false;
  bool removing = false;  // handed to a thread that destroys it
  bool lookingForNode = true;
};

std::string Ids(const sim::DeviceModel& model) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", model.definition().attributes.VendorID,
                model.definition().attributes.ProductID);
  return text;
}

std::string OpenProblem(const std::string& path, int err) {
  if (err == ENOENT || err == ENODEV || err == ENXIO) {
    return path + " is missing: load the uhid module (modprobe uhid)";
  }
  if (err == EACCES || err == EPERM) return "no permission to open " + path + ": run as root";
  return "cannot open " + path + ": " + std::strerror(err);
}

// Where a model's typed text goes: the boot keyboard of the same device
// (same vendor and product), else the first keyboard of all.
UhidDevice* KeyboardFor(const std::vector<Interface>& interfaces, const sim::DeviceModel& model) {
  UhidDevice* first = nullptr;
  for (const Interface& i : interfaces) {
    if (!i.device->isKeyboard()) continue;
    const Attributes& a = i.device->model().definition().attributes;
    if (a.VendorID == model.definition().attributes.VendorID &&
        a.ProductID == model.definition().attributes.ProductID) {
      return i.device.get();
    }
    if (first == nullptr) first = i.device.get();
  }
  return first;
}

class Emulator {
 public:
  Emulator(const EmulatorOptions& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err), clock_(MakeRealClock()) {}

  int Run() {
    std::string problem;
    std::vector<std::shared_ptr<sim::DeviceModel>> models = sim::LoadDeviceModels(options_.source, &problem);
    if (!problem.empty()) {
      std::fprintf(err_, "%s\n", problem.c_str());
      return 2;
    }
    // What the kernel would refuse is bad input too, found before any device exists.
    auto event = std::make_unique<uhid_event>();
    for (size_t m = 0; m < models.size(); ++m) {
      problem = MakeCreateEvent(*models[m], "", event.get());
      if (!problem.empty()) {
        Problem(Ids(*models[m]) + " interface " + std::to_string(m) + ": " + problem);
        return 2;
      }
    }
    if (!OpenAll(models)) return 1;
    const int status = Loop();
    Shutdown();
    return status;
  }

 private:
  bool OpenAll(const std::vector<std::shared_ptr<sim::DeviceModel>>& models) {
    for (size_t m = 0; m < models.size(); ++m) {
      const int fd = ::open(options_.uhidPath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
      if (fd < 0) {
        Problem(OpenProblem(options_.uhidPath, errno));
        return false;
      }
      Interface i;
      i.index = m;
      i.model = models[m];
      i.device = std::make_unique<UhidDevice>(
          models[m], fd, "hid-emulate-" + std::to_string(::getpid()) + "/input" + std::to_string(m), clock_);
      interfaces_.push_back(std::move(i));
    }
    for (Interface& i : interfaces_) {
      UhidDevice* keyboard = KeyboardFor(interfaces_, *i.model);
      i.typing = [keyboard](const std::string& text) {
        if (keyboard != nullptr) keyboard->QueueTyping(text);
      };
    }
    return true;
  }

  // Creates the next interface once the one before it has its node, so
  // that the kernel numbers the nodes in the preset's order. False when the
  // kernel refuses it.
  bool CreateNext(uint64_t now) {
    for (Interface& i : interfaces_) {
      if (i.created) {
        if (i.lookingForNode && !i.device->destroyed()) return true;
        continue;
      }
      i.created = true;
      i.createdAt = now;
      // The device's life, and its unplug timer, start now.
      i.model->Attach(clock_, i.typing);
      if (i.model->definition().unplugAfterMs) i.unplugAt = now + *i.model->definition().unplugAfterMs;
      const std::string problem = i.device->Create();
      if (!problem.empty()) {
        Problem(Ids(*i.model) + " interface " + std::to_string(i.index) + ": " + problem);
        return false;
      }
      return true;
    }
    return true;
  }

  void Problem(const std::string& line) {
    std::fprintf(err_, "hid-emulate: %s\n", line.c_str());
    std::fflush(err_);
  }

  void Say(const Interface& i, const std::string& what) {
    std::fprintf(out_, "%s interface %zu %s\n", Ids(i.device->model()).c_str(), i.index, what.c_str());
    std::fflush(out_);
  }

  // Does what is due by `now`; returns how long poll() may wait (-1: until
  // an event).
  int Tick(uint64_t now) {
    std::optional<uint64_t> next;
    auto soon = [&next](uint64_t at) { next = next ? std::min(*next, at) : at; };
    for (Interface& i : interfaces_) {
      if (!i.created || i.removing) continue;
      if (i.unplugAt && now >= *i.unplugAt) {
        Remove(i);
        Say(i, "unplugged");
        continue;
      }
      if (i.unplugAt) soon(*i.unplugAt);
      if (i.lookingForNode) {
        i.node = FindHidrawNode(options_.sysRoot, i.device->phys());
        if (!i.node.empty()) {
          i.lookingForNode = false;
          Say(i, i.node);
        } else if (now - i.createdAt >= kNodeGiveUpMs) {
          i.lookingForNode = false;
          Problem(Ids(i.device->model()) + " interface " + std::to_string(i.index) +
                  ": the kernel made no hidraw node for it");
        } else {
          soon(now + kNodeLookupMs);
        }
      }
      if (auto typing = i.device->SendDueTyping(now)) soon(*typing);
    }
    if (deadline_) soon(*deadline_);
    if (!next) return -1;
    return static_cast<int>(std::min<uint64_t>(*next > now ? *next - now : 0, 60000));
  }

  // The exit status.
  int Loop() {
    if (options_.seconds) deadline_ = clock_->NowMs() + *options_.seconds * 1000;
    for (;;) {
      const uint64_t now = clock_->NowMs();
      if (deadline_ && now >= *deadline_) return 0;
      if (!CreateNext(now)) return 1;
      const int timeout = Tick(now);
      std::vector<pollfd> fds;
      std::vector<Interface*> owners;
      if (options_.stopFd >= 0) fds.push_back({options_.stopFd, POLLIN, 0});
      for (Interface& i : interfaces_) {
        if (!i.created || i.removing) continue;
        fds.push_back({i.device->fd(), POLLIN, 0});
        owners.push_back(&i);
      }
      if (::poll(fds.data(), fds.size(), timeout) < 0) {
        if (errno == EINTR) continue;
        Problem(std::string("poll: ") + std::strerror(errno));
        return 1;
      }
      const size_t first = options_.stopFd >= 0 ? 1 : 0;
      if (first == 1 && fds[0].revents != 0) return 0;
      for (size_t k = first; k < fds.size(); ++k) {
        if (fds[k].revents == 0) continue;
        Interface& i = *owners[k - first];
        if ((fds[k].revents & POLLIN) == 0 || !i.device->HandleNextEvent()) {
          Problem(Ids(i.device->model()) + " interface " + std::to_string(i.index) +
                  ": the kernel ended the device");
          Remove(i);
        }
      }
    }
  }

  // Destroying a device waits in the kernel while a request is pending on
  // any hidraw node (up to the kernel's 5 s limit for an answer), so it runs
  // on a thread of its own while this one goes on answering the others.
  void Remove(Interface& i) {
    i.removing = true;
    i.device->SetClosing();
    UhidDevice* device = i.device.get();
    removers_.emplace_back([device] { device->Destroy(); });
  }

  // Destroys every device, in order, on another thread; meanwhile requests
  // still pending on the devices not yet destroyed are refused, so that
  // none holds up the others' removal.
  void Shutdown() {
    std::vector<UhidDevice*> left;
    for (Interface& i : interfaces_) {
      if (!i.created || i.removing) continue;
      i.removing = true;
      i.device->SetClosing();
      left.push_back(i.device.get());
    }
    std::atomic<bool> done{false};
    std::thread destroyer([&left, &done] {
      for (UhidDevice* device : left) device->Destroy();
      done = true;
    });
    while (!done) {
      std::vector<pollfd> fds;
      std::vector<UhidDevice*> owners;
      for (UhidDevice* device : left) {
        if (device->destroyed()) continue;
        fds.push_back({device->fd(), POLLIN, 0});
        owners.push_back(device);
      }
      if (::poll(fds.data(), fds.size(), 20) <= 0) continue;
      for (size_t k = 0; k < fds.size(); ++k) {
        if ((fds[k].revents & POLLIN) != 0) owners[k]->HandleNextEvent();
      }
    }
    destroyer.join();
    for (std::thread& t : removers_) t.join();
  }

  const EmulatorOptions& options_;
  std::FILE* out_;
  std::FILE* err_;
  std::shared_ptr<Clock> clock_;
  std::vector<Interface> interfaces_;
  std::vector<std::thread> removers_;
  std::optional<uint64_t> deadline_;
};

}  // namespace

int RunEmulator(const EmulatorOptions& options, std::FILE* out, std::FILE* err) {
  return Emulator(options, out, err).Run();
}

}  // namespace hidhost::uhid
