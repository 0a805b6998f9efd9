#pragma once
// Registers or removes this program as the product's updater service.
// Each prints what went wrong on standard error.

bool registerUpdaterService(const char* product);
bool unregisterUpdaterService(const char* product);
