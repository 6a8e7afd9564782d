# Sources of src/host (none yet).
