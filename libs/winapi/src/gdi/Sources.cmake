# Sources of src/gdi (none yet).
