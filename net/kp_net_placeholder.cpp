// The networking library (being built).
