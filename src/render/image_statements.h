// The script's image statements: `bitmap`, `crop`, `rect`, `oval`, `text`,
// `emboss`, `adjust`, `rotate`, `flip`, `blur`, `spread` and `scale`. Each
// finds the Bitmap object named by `name` and draws into it or replaces it;
// a statement that cannot find its Bitmap, lacks a required property or runs
// out of memory does nothing, silently.
#pragma once

namespace lv {

class ScriptEngine;

// Fills the engine's statement table with the image statements.
void installImageStatements(ScriptEngine& engine);

}  // namespace lv
