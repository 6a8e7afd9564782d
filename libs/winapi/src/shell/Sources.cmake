# Sources of src/shell (none yet).
