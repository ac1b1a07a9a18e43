#include "link/portnames.h"

#include <algorithm>
#include <optional>
#include <system_error>
#include <vector>

#include "link/seriallink.h"

namespace velmora::link {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDev = "/dev";
constexpr std::string_view kById = "serial/by-id";

// "/dev/x" -> devRoot/x; a path outside /dev has no place in the tree.
std::optional<fs::path> InTree(const std::string& path, const fs::path& devRoot) {
    const fs::path p = fs::path(path).lexically_normal();
    const fs::path relative = p.lexically_relative(kDev);
    if (!p.is_absolute() || relative.empty() || *relative.begin() == "..") return std::nullopt;
    return devRoot / relative;
}

std::string OutOfTree(const fs::path& path, const fs::path& devRoot) {
    return (fs::path(kDev) / path.lexically_relative(devRoot)).string();
}

// The device node a path leads to after every link, inside the tree.
std::optional<fs::path> Resolve(const fs::path& path, const fs::path& devRoot) {
    std::error_code ec;
    fs::path target = fs::canonical(path, ec);
    if (ec) return std::nullopt;
    const fs::path root = fs::weakly_canonical(devRoot, ec);
    const fs::path relative = target.lexically_relative(root);
    if (ec || relative.empty() || *relative.begin() == "..") return std::nullopt;
    return root / relative;
}

}  // namespace

PortName DescribePort(const std::string& path, const fs::path& devRoot) {
    PortName name;
    const auto inTree = InTree(path, devRoot);
    if (!inTree) {
        name.device = path;  // a path elsewhere (a test's pseudo-terminal link)
        return name;
    }
    const auto device = Resolve(*inTree, devRoot);
    if (!device) return name;
    std::error_code ec;
    const fs::path root = fs::weakly_canonical(devRoot, ec);
    name.device = OutOfTree(*device, root);
    // A by-id name configured is the name the user chose.
    if (inTree->parent_path() == devRoot / kById) {
        name.byId = OutOfTree(*inTree, devRoot);
        return name;
    }

    // Several names may lead to one device (if00 and a newer udev's alias);
    // the first in name order is taken, so the choice is the same each time.
    std::vector<fs::path> links;
    for (fs::directory_iterator it(devRoot / kById, ec), end; !ec && it != end; it.increment(ec)) {
        links.push_back(it->path());
    }
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        if (Resolve(link, devRoot) == device) {
            name.byId = (fs::path(kDev) / kById / link.filename()).string();
            break;
        }
    }
    return name;
}

unsigned SerialLink::openPortNumber() const {
    const auto port = currentPort();
    return port ? port->portNumber() : 0;
}

int RememberAdapter(SerialLink& link, unsigned port, const fs::path& devRoot) {
    const std::string byId = DescribePort(link.DevicePathForPort(port), devRoot).byId;
    if (byId.empty()) return 1;
    return link.WriteDeviceForPort(port, byId);
}

}  // namespace velmora::link
