# Sources of src/resources (none yet).
