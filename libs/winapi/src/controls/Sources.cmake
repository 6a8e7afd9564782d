# Sources of src/controls (none yet).
