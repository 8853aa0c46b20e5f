#pragma once

// Exports of TarnUI.dll. The library is built as a static library (tests link it directly) and
// linked whole into the DLL; users of the DLL's import library define TARNUI_IMPORT.
#ifdef TARNUI_IMPORT
#define TARNUI_API __declspec(dllimport)
#else
#define TARNUI_API __declspec(dllexport)
#endif
