#include "editor/editor_fields.h"

#include <memory>

namespace editor {
namespace {
std::unique_ptr<EditorFields>& instance()
{
    static std::unique_ptr<EditorFields> f;
    return f;
}

std::unique_ptr<Piece>& pieceInstance()
{
    static std::unique_ptr<Piece> p;
    return p;
}
}  // namespace

EditorFields& fields()
{
    auto& f = instance();
    if (!f) f = std::make_unique<EditorFields>();
    return *f;
}

Piece& piece()
{
    auto& p = pieceInstance();
    if (!p) p = std::make_unique<Piece>();
    return *p;
}

void resetFields()
{
    instance() = std::make_unique<EditorFields>();
    resetPiece();
}

void resetPiece() { pieceInstance() = std::make_unique<Piece>(); }

}  // namespace editor
