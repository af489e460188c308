#include "platform/media_service.h"

#include <memory>

namespace platform {

namespace {
MediaService* g_override = nullptr;
}

MediaService& mediaService()
{
    if (g_override) return *g_override;
    static std::unique_ptr<MediaService> system = createSystemMediaService();
    return *system;
}

void setMediaService(MediaService* service) { g_override = service; }

}  // namespace platform
