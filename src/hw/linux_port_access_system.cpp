#include "hw/linux_port_access_system.h"

#include <dirent.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>

#include "hw/direct_port.h"
#include "hw/ppdev_port.h"

namespace zivivar {

namespace {

// The kernel writes "<base>\t<base-hi>\n" in decimal.
bool ReadBase(const std::string& path, uint32_t& base) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr)
    return false;
  char text[64] = {};
  const size_t got = std::fread(text, 1, sizeof text - 1, file);
  std::fclose(file);
  uint64_t value = 0;
  size_t digits = 0;
  for (size_t i = 0; i < got && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 0xFFFFFFFFu)
      return false;
  }
  if (digits == 0)
    return false;
  base = static_cast<uint32_t>(value);
  return true;
}

// parport2 before parport10.
bool ByPortNumber(const ParportInfo& a, const ParportInfo& b) {
  if (a.device.size() != b.device.size())
    return a.device.size() < b.device.size();
  return a.device < b.device;
}

}  // namespace

LinuxPortAccessSystem::LinuxPortAccessSystem(Services& services, std::string proc_dir,
                                             std::string dev_dir)
    : services_(services), proc_dir_(std::move(proc_dir)), dev_dir_(std::move(dev_dir)) {}

std::vector<ParportInfo> LinuxPortAccessSystem::ListParports() {
  std::vector<ParportInfo> ports;
  DIR* dir = opendir(proc_dir_.c_str());
  if (dir == nullptr)
    return ports;  // no parallel-port support loaded
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..")
      continue;
    uint32_t base = 0;
    if (!ReadBase(proc_dir_ + "/" + name + "/base-addr", base))
      continue;
    ports.push_back({dev_dir_ + "/" + name, base});
  }
  closedir(dir);
  std::sort(ports.begin(), ports.end(), ByPortNumber);
  return ports;
}

PortOpenResult LinuxPortAccessSystem::OpenPpdev(const std::string& device, uint16_t link_base) {
  return PpdevPort::Open(device, link_base, &services_);
}

PortOpenResult LinuxPortAccessSystem::OpenDirect(uint32_t base, uint16_t link_base) {
  return DirectPort::Open(base, link_base);
}

std::string LinuxPortAccessSystem::SystemName() {
  utsname names{};
  if (uname(&names) != 0)
    return "";
  return std::string(names.sysname) + " " + names.release;
}

}  // namespace zivivar
