// The settings record "zvlstatus" that tells the server which options the
// player has chosen.
#pragma once
#include <string>

#include "config/char_config.h"
#include "config/system_config.h"

// The whole record line (without its line feed): "zvlstatus ", twenty
// one-character fields and three two-column numbers. With no current set
// (current null) every per-character field reads as 0.
std::string compose_zvlstatus(const trel_system_config &system, const ZConfig *current);
