#pragma once
// The vendor's service run inside a tool, on 127.0.0.1 and a port the system
// picks, over a scores database in the given folder; stopped by the destructor.
#include <filesystem>
#include <memory>

namespace quintelle::tools {

class LocalVendor {
  public:
    explicit LocalVendor(const std::filesystem::path& folder);
    ~LocalVendor();
    LocalVendor(const LocalVendor&) = delete;
    LocalVendor& operator=(const LocalVendor&) = delete;

    // 0 when the service could not start.
    int port() const;

  private:
    struct Running;
    std::unique_ptr<Running> running_;
};

}  // namespace quintelle::tools
