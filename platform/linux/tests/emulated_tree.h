// An emulated device tree for the hidraw backend's tests: /dev-like hidrawN
// files served through FUSE by simulated device models, and a sysfs-like
// tree of plain files beside them. Both live under one temporary folder.
//
// The FUSE server runs in this process on its own threads. A real-time
// watchdog aborts the FUSE connection if the tree is still mounted long
// after the test should have ended, so a fault can fail a test but never
// hang it.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "emulated_node.h"
#include "emulated_sysfs.h"

struct fuse;

namespace hidhost::hidraw::testing {

class EmulatedTree {
 public:
  // Null, with the reason in *whyNot, when FUSE cannot be mounted here.
  static std::unique_ptr<EmulatedTree> Mount(std::string* whyNot, int watchdogSeconds = 60);
  ~EmulatedTree();

  std::string sysRoot() const { return sysfs_.root(); }
  const std::string& devRoot() const { return devRoot_; }
  EmulatedSysfs& sysfs() { return sysfs_; }

  // Adds node hidraw<minor> served by setup.model, with its sysfs files.
  EmulatedNode& AddNode(NodeSetup setup);
  // The device of node hidraw<minor> goes away: its files disappear and its
  // open files behave as an unplugged hidraw node's.
  void Unplug(uint32_t minor);
  EmulatedNode* Node(uint32_t minor);

  // Used by the FUSE callbacks.
  std::shared_ptr<EmulatedNode> Lookup(const char* path) const;
  std::shared_ptr<EmulatedNode> ByHandle(uint64_t fh, uint64_t* handle) const;
  uint64_t Remember(std::shared_ptr<EmulatedNode> node, uint64_t handle);
  void Forget(uint64_t fh);
  std::vector<std::string> NodeNames() const;

 private:
  EmulatedTree(std::string base);
  bool Start(std::string* whyNot, int watchdogSeconds);
  void Watchdog(int seconds);

  std::string base_;
  std::string devRoot_;
  EmulatedSysfs sysfs_;
  struct fuse* fuse_ = nullptr;
  bool mounted_ = false;
  std::thread loop_;

  mutable std::mutex mutex_;
  std::map<uint32_t, std::shared_ptr<EmulatedNode>> nodes_;  // present ones
  std::map<uint32_t, std::shared_ptr<EmulatedNode>> unplugged_;
  struct OpenEntry {
    std::shared_ptr<EmulatedNode> node;
    uint64_t handle;
  };
  std::map<uint64_t, OpenEntry> open_;
  uint64_t nextFh_ = 1;

  std::mutex watchdogMutex_;
  std::condition_variable watchdogStop_;
  bool ending_ = false;
  std::thread watchdog_;
};

}  // namespace hidhost::hidraw::testing
