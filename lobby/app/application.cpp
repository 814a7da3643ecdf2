// The application object (placeholder until start-up lands).
