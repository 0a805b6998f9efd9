#pragma once
// The libraries the host loads, in this order, before the product library:
// the engine and feature libraries, then the product library's default file.
#include "unique_handle.h"

// The product library's file when no library is named after the client.
constexpr const char* kDefaultProductLibraryFile = "qo.dll";

struct PreloadRow {
    PreloadRow(const char* file) : fileName(file) {}  // the table lists bare names

    const char* fileName;  // null closes the table
    UniqueModule module;   // held only between a preload and its release
};

extern PreloadRow preloadTable[];

// Rows before the closing one.
int preloadRowCount();
