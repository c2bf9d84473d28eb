#pragma once
// The engine's error codes and their texts.

const char* gx_error_text(int code);
