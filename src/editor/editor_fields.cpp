#include "editor/editor_fields.h"

#include <memory>

namespace editor {
namespace {
std::unique_ptr<EditorFields>& instance()
{
    static std::unique_ptr<EditorFields> f;
    return f;
}
}  // namespace

EditorFields& fields()
{
    auto& f = instance();
    if (!f) f = std::make_unique<EditorFields>();
    return *f;
}

void resetFields() { instance() = std::make_unique<EditorFields>(); }

}  // namespace editor
