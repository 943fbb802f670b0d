# Clipboard payloads and the recognition of data dropped from other programs: the
# window-free half of copy, paste and drops. QtCore only, so tests and the fuzzer
# use it without a display; the views call it from their commands and drop handlers.
add_library(kiv_transfer STATIC
  views/Clipboard.cpp views/Clipboard.h
  views/DropFormats.cpp views/DropFormats.h
)
target_link_libraries(kiv_transfer PUBLIC kiv_core)
