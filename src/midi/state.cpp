#include "midi/state.h"

#include <memory>

namespace midi {
namespace {
std::unique_ptr<SharedState>& instance()
{
    static std::unique_ptr<SharedState> s;
    return s;
}
}  // namespace

SharedState& state()
{
    auto& s = instance();
    if (!s) s = std::make_unique<SharedState>();
    return *s;
}

void resetState() { instance() = std::make_unique<SharedState>(); }

QString RecordFolder()
{
    const QString& app = state().AppFolder;
    return app.isEmpty() ? QString() : app + QStringLiteral("演奏记录");
}

}  // namespace midi
