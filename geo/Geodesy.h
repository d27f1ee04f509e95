#pragma once
// Distances on the WGS84 ellipsoid, for what a map shows in true metres.

// The shortest distance in metres between two points (degrees).
double GroundDistance(double lat1, double lon1, double lat2, double lon2);
