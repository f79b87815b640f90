#include "device/HidBackend.h"

namespace q9 {

bool CompositeBackend::listNodes(std::vector<HidNodeInfo>& nodes)
{
    nodes.clear();
    bool ok = true;
    for (const auto& backend : backends_) {
        std::vector<HidNodeInfo> part;
        if (backend->listNodes(part))
            nodes.insert(nodes.end(), part.begin(), part.end());
        else
            ok = false;
    }
    return ok || !nodes.empty();
}

HidBackend* CompositeBackend::owner(const std::string& node) const
{
    for (const auto& backend : backends_)
        if (backend->ownsNode(node))
            return backend.get();
    return nullptr;
}

std::shared_ptr<HidNode> CompositeBackend::openNode(const std::string& node, bool wantRead, bool wantWrite)
{
    HidBackend* b = owner(node);
    return b ? b->openNode(node, wantRead, wantWrite) : nullptr;
}

bool CompositeBackend::nodePresent(const std::string& node, uint16_t vid, uint16_t pid)
{
    HidBackend* b = owner(node);
    return b && b->nodePresent(node, vid, pid);
}

bool CompositeBackend::ownsNode(const std::string& node) const { return owner(node) != nullptr; }

} // namespace q9
