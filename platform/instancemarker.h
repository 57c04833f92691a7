#pragma once
#include <QLockFile>
#include <QString>
#include <memory>

namespace quintelle::platform {

// A process-wide marker held from start to exit under a fixed name. Nothing
// examines it and failing to take it is of no consequence; it only tells the
// installer and other tools that a copy of the program is running.
class InstanceMarker {
  public:
    explicit InstanceMarker(const QString& name);
    bool held() const;

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace quintelle::platform
