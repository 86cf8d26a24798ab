#pragma once
// The four correlation kinds of the editor, with the values the entry classes pass.

namespace editor {

enum class CorrelationKind : int { COGE = 0, COIN = 1, HYPE = 2, CONS = 3 };

inline bool isLedgerKind(CorrelationKind k) { return k != CorrelationKind::COIN; }

}  // namespace editor
