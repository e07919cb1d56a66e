// Filled in with the platform's test helpers.
