#pragma once

#include <string>

namespace tavisto {

// The stored window's visual-styles manifest. Qt draws the controls in the platform's style by
// itself, so the component only keeps its name.
class TXPManifest {
public:
    explicit TXPManifest(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

}  // namespace tavisto
