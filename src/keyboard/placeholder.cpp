// The keyboard windows live in this folder.
namespace keyboard {}
