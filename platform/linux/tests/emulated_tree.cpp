#define FUSE_USE_VERSION 35
#include "emulated_tree.h"

#include <fcntl.h>
#include <fuse.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace hidhost::hidraw::testing {

namespace {

EmulatedTree* TreeOf() { return static_cast<EmulatedTree*>(fuse_get_context()->private_data); }

void* Init(fuse_conn_info*, fuse_config* config) {
  config->nullpath_ok = 1;
  config->direct_io = 1;  // every read and write reaches the node, one report each
  config->entry_timeout = 0;
  config->attr_timeout = 0;
  config->negative_timeout = 0;
  return fuse_get_context()->private_data;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
  std::memset(st, 0, sizeof *st);
  if (path != nullptr && std::strcmp(path, "/") == 0) {
    st->st_mode = S_IFDIR | 0755;
    st->st_nlink = 2;
    return 0;
  }
  std::shared_ptr<EmulatedNode> node;
  if (fi != nullptr) {
    uint64_t handle = 0;
    node = TreeOf()->ByHandle(fi->fh, &handle);
  } else if (path != nullptr) {
    node = TreeOf()->Lookup(path);
  }
  if (!node) return -ENOENT;
  st->st_mode = S_IFREG | (node->setup().mayRead ? 0400 : 0) | (node->setup().mayWrite ? 0200 : 0);
  st->st_nlink = 1;
  return 0;
}

int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
  if (std::strcmp(path, "/") != 0) return -ENOTDIR;
  fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
  fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
  for (const std::string& name : TreeOf()->NodeNames()) {
    fill(buffer, name.c_str(), nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
  }
  return 0;
}

int Open(const char* path, fuse_file_info* fi) {
  auto node = TreeOf()->Lookup(path);
  if (!node) return -ENOENT;
  uint64_t handle = 0;
  const int result = node->Open(fi->flags, &handle);
  if (result < 0) return result;
  fi->fh = TreeOf()->Remember(node, handle);
  fi->direct_io = 1;
  fi->nonseekable = 1;
  return 0;
}

int Release(const char*, fuse_file_info* fi) {
  uint64_t handle = 0;
  if (auto node = TreeOf()->ByHandle(fi->fh, &handle)) node->Release(handle);
  TreeOf()->Forget(fi->fh);
  return 0;
}

int Read(const char*, char* buffer, size_t size, off_t, fuse_file_info* fi) {
  uint64_t handle = 0;
  auto node = TreeOf()->ByHandle(fi->fh, &handle);
  return node ? node->Read(handle, buffer, size, (fi->flags & O_NONBLOCK) != 0) : -EBADF;
}

int Write(const char*, const char* buffer, size_t size, off_t, fuse_file_info* fi) {
  uint64_t handle = 0;
  auto node = TreeOf()->ByHandle(fi->fh, &handle);
  return node ? node->Write(handle, buffer, size) : -EBADF;
}

// FUSE passes regular files' ioctls in restricted form: the kernel copies
// _IOC_SIZE(command) bytes in and out as the direction bits say, so the
// variable-length hidraw requests (HIDIOCGFEATURE(len) and the like) arrive
// with their whole buffer in `data`, and the length is in the command.
int Ioctl(const char*, unsigned int command, void*, fuse_file_info* fi, unsigned int flags,
          void* data) {
  if ((flags & FUSE_IOCTL_COMPAT) != 0) return -ENOSYS;
  uint64_t handle = 0;
  auto node = TreeOf()->ByHandle(fi->fh, &handle);
  return node ? node->Ioctl(handle, command, data) : -EBADF;
}

int Poll(const char*, fuse_file_info* fi, fuse_pollhandle* ph, unsigned* events) {
  uint64_t handle = 0;
  auto node = TreeOf()->ByHandle(fi->fh, &handle);
  if (!node) {
    if (ph) fuse_pollhandle_destroy(ph);
    return -EBADF;
  }
  *events = node->Poll(handle, ph);
  return 0;
}

fuse_operations Operations() {
  fuse_operations ops{};
  ops.init = Init;
  ops.getattr = GetAttr;
  ops.readdir = ReadDir;
  ops.open = Open;
  ops.release = Release;
  ops.read = Read;
  ops.write = Write;
  ops.ioctl = Ioctl;
  ops.poll = Poll;
  return ops;
}

}  // namespace

EmulatedTree::EmulatedTree(std::string base)
    : base_(std::move(base)), devRoot_(base_ + "/dev"), sysfs_(base_ + "/sys") {
  std::filesystem::create_directories(devRoot_);
}

std::unique_ptr<EmulatedTree> EmulatedTree::Mount(std::string* whyNot, int watchdogSeconds) {
  // Memory-backed, like sysfs, where /dev/shm is there.
  std::string base;
  for (const char* pattern : {"/dev/shm/hidraw-tree-XXXXXX", "/tmp/hidraw-tree-XXXXXX"}) {
    std::string candidate = pattern;
    if (::mkdtemp(candidate.data()) != nullptr) {
      base = candidate;
      break;
    }
  }
  if (base.empty()) {
    *whyNot = std::string("cannot make a temporary folder: ") + std::strerror(errno);
    return nullptr;
  }
  std::unique_ptr<EmulatedTree> tree(new EmulatedTree(base));
  if (!tree->Start(whyNot, watchdogSeconds)) return nullptr;
  return tree;
}

bool EmulatedTree::Start(std::string* whyNot, int watchdogSeconds) {
  if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    *whyNot = std::string("/dev/fuse is not usable: ") + std::strerror(errno);
    return false;
  }
  const fuse_operations ops = Operations();
  char program[] = "hidraw-tree";
  char* argv[] = {program, nullptr};
  fuse_args args = FUSE_ARGS_INIT(1, argv);
  fuse_ = fuse_new(&args, &ops, sizeof ops, this);
  fuse_opt_free_args(&args);  // fuse_new may have added to them
  if (fuse_ == nullptr) {
    *whyNot = "fuse_new failed";
    return false;
  }
  if (fuse_mount(fuse_, devRoot_.c_str()) != 0) {
    *whyNot = "FUSE cannot be mounted on " + devRoot_ + " (needs root or fusermount3)";
    return false;
  }
  mounted_ = true;
  loop_ = std::thread([this] {
    fuse_loop_config* config = fuse_loop_cfg_create();
    fuse_loop_cfg_set_max_threads(config, 16);
    fuse_loop_mt(fuse_, config);
    fuse_loop_cfg_destroy(config);
  });
  watchdog_ = std::thread([this, watchdogSeconds] { Watchdog(watchdogSeconds); });
  return true;
}

void EmulatedTree::Watchdog(int seconds) {
  struct stat st {};
  const bool known = ::stat(devRoot_.c_str(), &st) == 0;
  std::unique_lock lock(watchdogMutex_);
  if (watchdogStop_.wait_for(lock, std::chrono::seconds(seconds), [this] { return ending_; })) {
    return;
  }
  std::fprintf(stderr, "emulated hidraw tree: still mounted after %d s, aborting the FUSE "
                       "connection so that the stuck test fails instead of hanging\n", seconds);
  if (known) {
    std::ofstream("/sys/fs/fuse/connections/" + std::to_string(minor(st.st_dev)) + "/abort")
        << "1\n";
  }
  ::umount2(devRoot_.c_str(), MNT_FORCE);
}

EmulatedTree::~EmulatedTree() {
  std::vector<std::shared_ptr<EmulatedNode>> all;
  {
    std::lock_guard lock(mutex_);
    for (auto& [minor, node] : nodes_) all.push_back(node);
    for (auto& [minor, node] : unplugged_) all.push_back(node);
  }
  for (auto& node : all) node->Shutdown();
  if (mounted_) {
    // A forced unmount aborts the connection: the server threads' reads of
    // /dev/fuse end, and so does the loop, whether or not it has started yet.
    if (::umount2(devRoot_.c_str(), MNT_FORCE) != 0) ::umount2(devRoot_.c_str(), MNT_DETACH);
    loop_.join();
    fuse_unmount(fuse_);
  }
  if (fuse_ != nullptr) fuse_destroy(fuse_);
  {
    std::lock_guard lock(watchdogMutex_);
    ending_ = true;
  }
  watchdogStop_.notify_all();
  if (watchdog_.joinable()) watchdog_.join();
  std::error_code ec;
  std::filesystem::remove_all(base_, ec);
}

EmulatedNode& EmulatedTree::AddNode(NodeSetup setup) {
  sysfs_.AddNode(setup.minor, setup.model->definition(), setup.usb);
  auto node = std::make_shared<EmulatedNode>(setup);
  std::lock_guard lock(mutex_);
  nodes_[setup.minor] = node;
  return *node;
}

void EmulatedTree::Unplug(uint32_t minor) {
  std::shared_ptr<EmulatedNode> node;
  {
    std::lock_guard lock(mutex_);
    auto it = nodes_.find(minor);
    if (it == nodes_.end()) return;
    node = it->second;
    unplugged_[minor] = node;
    nodes_.erase(it);
  }
  sysfs_.RemoveNode(minor);
  node->Unplug();
}

EmulatedNode* EmulatedTree::Node(uint32_t minor) {
  std::lock_guard lock(mutex_);
  auto it = nodes_.find(minor);
  if (it != nodes_.end()) return it->second.get();
  it = unplugged_.find(minor);
  return it == unplugged_.end() ? nullptr : it->second.get();
}

std::shared_ptr<EmulatedNode> EmulatedTree::Lookup(const char* path) const {
  if (path == nullptr || std::strncmp(path, "/hidraw", 7) != 0) return nullptr;
  std::lock_guard lock(mutex_);
  for (const auto& [minor, node] : nodes_) {
    if (std::string(path + 1) == "hidraw" + std::to_string(minor)) return node;
  }
  return nullptr;
}

std::shared_ptr<EmulatedNode> EmulatedTree::ByHandle(uint64_t fh, uint64_t* handle) const {
  std::lock_guard lock(mutex_);
  auto it = open_.find(fh);
  if (it == open_.end()) return nullptr;
  *handle = it->second.handle;
  return it->second.node;
}

uint64_t EmulatedTree::Remember(std::shared_ptr<EmulatedNode> node, uint64_t handle) {
  std::lock_guard lock(mutex_);
  const uint64_t fh = nextFh_++;
  open_[fh] = OpenEntry{std::move(node), handle};
  return fh;
}

void EmulatedTree::Forget(uint64_t fh) {
  std::lock_guard lock(mutex_);
  open_.erase(fh);
}

std::vector<std::string> EmulatedTree::NodeNames() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const auto& [minor, node] : nodes_) names.push_back("hidraw" + std::to_string(minor));
  return names;
}

}  // namespace hidhost::hidraw::testing
