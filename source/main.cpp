// Placeholder, replaced by the module's start, message and end handling.
