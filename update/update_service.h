#pragma once

// Asks the service manager to start the product's updater service with the
// update's ten arguments. True when the service started.
bool updateService(const char* product, const char* productName, const char* src,
                   const char* dst, const char* cmd);
