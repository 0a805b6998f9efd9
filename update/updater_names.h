#pragma once
// Names under which the host finds the updater and its log; the stand-in
// updaters use the same ones.

// The product's updater service is this prefix followed by the product.
constexpr char kUpdaterServicePrefix[] = "QM Updater Service - ";
// The elevated updater, beside the host and copied to the temporary folder.
constexpr char kUpdaterExecutableName[] = "qmUpdater.exe";
// Below the common application data folder: vendor folder, product, log.
constexpr char kUpdaterLogVendorFolder[] = "Quorvel";
constexpr char kUpdaterLogFileName[] = "qmUpdater.log";
// Stands for an empty product name among the service's arguments.
constexpr char kEmptyProductNameArgument[] = "{}";
