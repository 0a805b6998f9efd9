#pragma once
// The catalogue's message boxes of a run: the text and the caption in the
// language of its launch parameters, and no box at all for a cloud instance,
// where nobody would be there to answer it.
#include <windows.h>

#include <cstdint>

#include "qm/launch_parameters.h"

constexpr UINT kSystemModalError = MB_SYSTEMMODAL | MB_ICONERROR;
constexpr UINT kSystemModalWarning = MB_SYSTEMMODAL | MB_ICONWARNING;
constexpr UINT kSystemModalInformation = MB_SYSTEMMODAL | MB_ICONINFORMATION;

// Shows catalogue message `text` with catalogue caption `caption`, unless
// `params` is a cloud instance; returns once the box is answered.
void showCatalogueBox(const qm::LaunchParameters& params, HWND owner, int32_t text, int32_t caption, UINT style);
