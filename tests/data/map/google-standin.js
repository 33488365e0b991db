// A stand-in for the Google Maps JavaScript API: it draws nothing and records what the page
// asks of it in `recorded`.
var recorded = {maps: 0, bounds: null, markers: [], listeners: [], contents: []};
var google = {
  maps: {
    MapTypeId: {ROADMAP: "roadmap"},
    Map: function(element, options) {
      recorded.maps++;
      recorded.element = element ? element.id : null;
      recorded.zoom = options.zoom;
      this.fitBounds = function(bounds) { recorded.bounds = bounds; };
    },
    LatLng: function(lat, lng) { this.lat = lat; this.lng = lng; },
    LatLngBounds: function(sw, ne) { this.sw = sw; this.ne = ne; },
    InfoWindow: function() {
      this.setContent = function(content) { recorded.contents.push(content); };
      this.open = function(map, marker) { recorded.openedOn = marker.options.title; };
    },
    Marker: function(options) { this.options = options; recorded.markers.push(options); },
    event: {
      addListener: function(target, name, handler) {
        recorded.listeners.push({name: name, handler: handler});
      }
    }
  }
};
