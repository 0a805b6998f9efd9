#pragma once
// Starting the product once its update check lets it run.

class QMStandAlone;

// Loads and binds the product library, initialises the product, shows the
// window and starts the product with a new loop delegate. A failure is told
// in a box (none for a cloud instance) and leaves the window as it is.
// Main thread.
void startProduct(QMStandAlone& application);
