#include "hid/HidBackend.h"

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

bool CompositeBackend::watchChanges()
{
    // Every part must tell, or the whole bus is looked at on a period.
    bool all = !backends_.empty();
    for (const auto& backend : backends_)
        all = backend->watchChanges() && all;
    return all;
}

void CompositeBackend::changeDescriptors(std::vector<int>& out) const
{
    for (const auto& backend : backends_)
        backend->changeDescriptors(out);
}

void CompositeBackend::takeChanges()
{
    for (const auto& backend : backends_)
        backend->takeChanges();
}

} // namespace q9
