#pragma once

#include "lib/changeapplier.h"

// How composition-item change packets are written: the stored clock text
// follows the real hour, a repeated item number is refused, and deleting an
// item deletes its occurrences. Shared by every method that stores items.
ChangeRules itemChangeRules();
